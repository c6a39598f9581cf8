#include "console/screen_layout.h"

#include <algorithm>

#include "console/cell_width.h"
#include "console/console.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr int kPreviewCellWidth = 18;
constexpr int kNarrowestPreviewCell = 16;
constexpr int kCellsPerLine = 5;
constexpr int kPreviewGap = 2;
constexpr wchar_t kCutMark[] = L"\u2026";

using platform::is_high_surrogate;
using platform::trimmed;

std::wstring padded(std::wstring_view text, std::size_t width) {
  std::wstring result(cut_units(text, width));
  result.resize(width, L' ');
  return result;
}

int preview_height_for(std::int64_t match_count) {
  if (match_count <= 3) return 5;
  if (match_count <= 10) return 6;
  return 8;
}

}  // namespace

int checked_frame_width(int window_width) { return std::min(window_width, kMaximumFrameWidth); }

ScreenLayout compute_layout(int window_width, int window_height, std::int64_t match_count) {
  ScreenLayout layout;
  layout.frame_width = std::min(checked_frame_width(window_width), window_width - layout.left);
  layout.preview_height = preview_height_for(match_count);
  // Rows 0 to page_size + preview_height + 10 are used: the legend row must
  // still be visible.
  const int rows_for_list = window_height - layout.preview_height - 11;
  const std::int64_t page = std::min<std::int64_t>({match_count, kMaximumPageSize, rows_for_list});
  layout.page_size = static_cast<int>(std::max<std::int64_t>(page, 1));
  layout.preview_top = layout.list_top + layout.page_size + 2;
  layout.bottom = layout.preview_top + layout.preview_height + 2;
  return layout;
}

std::array<std::wstring, 4> build_frame_texts(int width) {
  const auto inner = static_cast<std::size_t>(std::max(width - 2, 0));
  std::wstring run(inner, L' ');
  std::replace(run.begin(), run.end(), L' ', L'\u2500');
  return {L"\u256D" + run + L"\u256E", L"\u2502" + std::wstring(inner, L' ') + L"\u2502", L"\u251C" + run + L"\u2524",
          L"\u2570" + run + L"\u256F"};
}

std::wstring fit_path(std::wstring_view path, int width) {
  width = std::max(width, 0);
  if (text_cells(path) <= width) return pad_cells(path, width);
  const int half = std::max((width - 3) / 2, 0);
  std::wstring result(cut_cells(path, half));
  result += L"\uF061\U000F12F1\uF060";
  result += last_cells(path, half);
  return result;
}

std::wstring list_row(std::wstring_view path, int frame_width) {
  return fit_console_cells(L" " + fit_path(path, frame_width - 4), std::max(frame_width - 2, 0));
}

std::wstring list_row(std::wstring_view path, int frame_width, std::wstring_view destination) {
  constexpr std::wstring_view opening = L" (a link to ";
  const int room = std::max(frame_width - 4, 0);
  // Half the row stays the match's own, so a long target cannot hide it.
  const int for_destination = room / 2 - static_cast<int>(opening.size()) - 1;
  const std::wstring mark =
      std::wstring(opening) +
      fit_path(destination, std::clamp(text_cells(destination), 0, std::max(for_destination, 0))) + L")";
  // The mark keeps its end however the console counts the shortening
  // marker: the match's part gives way instead.
  const int inner = std::max(frame_width - 2, 0);
  const int for_path = std::max(inner - 1 - console_cells(mark), 0);
  return fit_console_cells(fit_console_cells(L" " + fit_path(path, for_path - 1), for_path) + mark, inner);
}

std::wstring_view cut_units(std::wstring_view text, std::size_t units) {
  if (text.size() <= units) return text;
  if (units > 0 && is_high_surrogate(text[units - 1])) --units;
  return text.substr(0, units);
}

std::wstring with_thousands(std::int64_t number) {
  const bool negative = number < 0;
  std::wstring digits = std::to_wstring(negative ? -number : number);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), 1, L',');
  }
  return negative ? L"-" + digits : digits;
}

std::vector<std::wstring> legend_for(int room) {
  std::vector<std::vector<std::wstring>> choices = {
      legend_pieces(),
      {L" ", L" F2=Rescan ", L" ", L" F3=Change Drive ", L" ", L" Arrows=Move ", L" ", L" Return=Select ", L" ",
       L" ESC=Exit ", L" "},
      {L" ", L" F2=Rescan ", L" ", L" F3=Drive ", L" ", L" Arrows=Move ", L" ", L" Return=Select ", L" ", L" ESC=Exit ",
       L" "},
      {L" ", L" F2=Rescan ", L" ", L" F3=Drive ", L" ", L" Return=Select ", L" ", L" ESC=Exit ", L" "},
      {L" ", L" F2=Scan ", L" ", L" F3=Drive ", L" ", L" Return=Select ", L" ", L" ESC=Exit ", L" "},
      {L" ", L" Return=Select ", L" ", L" ESC=Exit ", L" "},
  };
  for (auto& pieces : choices) {
    std::size_t units = 0;
    for (const auto& piece : pieces) units += piece.size();
    // The whole legend is measured in units, as it was laid out: its Return
    // sign is one character of two units that some fonts draw two cells wide.
    if (units <= static_cast<std::size_t>(std::max(room, 0))) return std::move(pieces);
  }
  return std::move(choices.back());
}

std::vector<std::wstring> legend_pieces() {
  return {L" ", L" F2=Rescan ",
          L" ", L" F3=Change Drive ",
          L" ", L" Navigation Keys=Move selection ",
          L" ", L" \U000F0311 Return=Select Directory ",
          L" ", L" ESC=Exit ",
          L" "};
}

CountLine place_count_line(const ScreenLayout& layout, std::int64_t count, std::wstring_view search_text,
                           std::int64_t total, std::uint64_t more) {
  std::wstring number = with_thousands(count);
  if (total >= 0) number += L" of " + with_thousands(total);
  if (more > 0) number += L" (+" + with_thousands(static_cast<std::int64_t>(more)) + L" more)";
  CountLine line{0, number, L" directories were found with ", std::wstring(search_text)};
  const int last_column = layout.left + layout.frame_width - 3;
  // The counter's numbers never have more digits than the larger of the
  // count and the page size.
  const std::wstring widest = std::to_wstring(std::max<std::int64_t>(count, layout.page_size));
  const int counter_cells = text_cells(L"Row " + widest + L" to " + widest + L" / " + std::to_wstring(count));
  const int first_free = layout.left + 2 + counter_cells + 1;
  const int room = std::max(last_column - first_free + 1, 0);
  // Measured so that it fits whether the console counts cells or UTF-16 units.
  const auto span = [](std::wstring_view text) { return std::max(text_cells(text), static_cast<int>(text.size())); };
  const auto cells = [&] { return span(line.number) + span(line.middle) + span(line.search_text); };
  if (cells() > room) line.middle = L" found with ";
  int left = room;
  for (std::wstring* piece : {&line.number, &line.middle, &line.search_text}) {
    *piece = std::wstring(clip(*piece, left));
    left -= span(*piece);
  }
  line.column = last_column - cells() + 1;
  return line;
}

std::wstring counter_text(int top_index, int page_size, std::int64_t count) {
  const std::wstring spaces(10, L' ');
  if (count <= 0) return L"Row 0 to 0 / 0" + spaces;
  const std::int64_t last = std::min<std::int64_t>(top_index + page_size, count);
  return L"Row " + std::to_wstring(top_index + 1) + L" to " + std::to_wstring(last) + L" / " + std::to_wstring(count) +
         spaces;
}

std::wstring counter_shown(const ScreenLayout& layout, int top_index, std::int64_t count, const CountLine& line) {
  const int column = layout.left + 2;
  return std::wstring(cut_cells(counter_text(top_index, layout.page_size, count), line.column - 1 - column));
}

bool is_escape(std::wstring_view text, int code) {
  if (text.size() == 1) return text[0] == key::escape_char;
  return text.empty() && code == key::escape_char;
}

KeyResult apply_key(Selection current, std::wstring_view text, int code, int match_count, int visible_rows,
                    int page_size) {
  const int m = match_count;
  const int v = visible_rows;
  const int p = page_size;
  KeyResult result{KeyOutcome::moved, current};
  Selection& s = result.selection;
  if (is_escape(text, code)) return {KeyOutcome::escape, current};
  if (text.size() == 1 && text[0] == key::return_char) return {KeyOutcome::choose, current};
  // Ctrl+N and Ctrl+P type a control character of their own.
  if (text.size() == 1 && text[0] == key::control_n) code = key::down;
  if (text.size() == 1 && text[0] == key::control_p) code = key::up;
  switch (code) {
    case key::up:
      if (s.selected >= 1) {
        --s.selected;
        if (s.selected < s.top) s.top = s.selected;
      }
      break;
    case key::down:
      if (s.selected < m - 1) {
        ++s.selected;
        if (s.selected >= s.top + v) s.top = s.selected - v + 1;
      }
      break;
    case key::home:
      s = {};
      break;
    case key::end:
      s.selected = m - 1;
      s.top = m > v ? m - v : 0;
      break;
    case key::page_up:
      s.selected = s.selected <= p ? 0 : s.selected - p;
      s.top = s.top <= p ? 0 : s.top - p;
      break;
    case key::page_down:
      s.selected = s.selected + p < m ? s.selected + p : m - 1;
      s.top = s.top + p < m - v ? s.top + p : (m > v ? m - v : 0);
      break;
    case key::f2:
      return {KeyOutcome::rescan, current};
    case key::f3:
      return {KeyOutcome::change_drive, current};
    default:
      break;
  }
  if (s.top < 0) s.top = 0;
  if (s.top > m - v) s.top = m - v;
  if (s.top < 0) s.top = 0;
  return result;
}

bool ends_pass(const KeyPress& key) { return apply_key({}, key.text, key.code, 1, 1, 1).outcome != KeyOutcome::moved; }

Selection keep_in_view(Selection current, int match_count, int visible_rows) {
  Selection s = current;
  if (s.selected < s.top) s.top = s.selected;
  if (s.selected >= s.top + visible_rows) s.top = s.selected - visible_rows + 1;
  s.top = std::max(std::min(s.top, match_count - visible_rows), 0);
  return s;
}

PreviewGrid preview_grid(int inner_width) {
  for (int per_line = kCellsPerLine; per_line > 1; --per_line) {
    const int cell = std::min(kPreviewCellWidth, (inner_width - kPreviewGap * (per_line - 1)) / per_line);
    if (cell >= kNarrowestPreviewCell) return {per_line, cell};
  }
  return {1, std::clamp(inner_width, 0, kPreviewCellWidth)};
}

std::wstring preview_cell(const platform::DirectoryEntry& entry, int cell) {
  const std::wstring_view open = entry.is_directory ? L"[" : L"";
  const std::wstring_view close = entry.is_directory ? L"]" : L"";
  const std::wstring shown = std::wstring(open) + entry.name + std::wstring(close);
  if (console_cells(shown) <= cell) return fit_console_cells(shown, cell);
  const int room = std::max(cell - console_cells(open) - console_cells(close) - 1, 0);
  return fit_console_cells(
      std::wstring(open) + std::wstring(cut_console_cells(entry.name, room)) + kCutMark + std::wstring(close), cell);
}

std::vector<std::wstring> preview_lines(const platform::DirectoryListing& listing, int max_lines, int width) {
  if (max_lines <= 0) return {};
  if (listing.readable && listing.total == 0) return {L"(empty folder)"};
  const PreviewGrid grid = preview_grid(width);
  std::vector<platform::DirectoryEntry> entries = listing.entries;
  std::stable_partition(entries.begin(), entries.end(), [](const auto& entry) { return entry.is_directory; });
  const auto room = static_cast<std::size_t>(grid.per_line) * static_cast<std::size_t>(max_lines);
  const bool left_out = !listing.counted_all || std::max(listing.total, entries.size()) > room;
  const std::size_t shown = std::min(entries.size(), left_out ? room - 1 : room);
  std::vector<std::wstring> cells;
  for (std::size_t i = 0; i < shown; ++i) cells.push_back(preview_cell(entries[i], grid.cell));
  if (left_out) {
    const std::size_t more = std::max(listing.total, entries.size()) - shown;
    cells.push_back(fit_console_cells(kCutMark + (L" " + with_thousands(static_cast<std::int64_t>(more))) +
                                          (listing.counted_all ? L" more" : L"+ more"),
                                      grid.cell));
  }
  std::vector<std::wstring> lines;
  for (std::size_t first = 0; first < cells.size(); first += static_cast<std::size_t>(grid.per_line)) {
    std::wstring line;
    for (std::size_t i = first; i < std::min(cells.size(), first + static_cast<std::size_t>(grid.per_line)); ++i) {
      line += cells[i] + std::wstring(kPreviewGap, L' ');
    }
    lines.emplace_back(cut_console_cells(trimmed(line), width));
  }
  return lines;
}

std::vector<std::wstring> wrap_words(std::wstring_view text, int width) {
  std::vector<std::wstring> lines;
  std::wstring line;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find(L' ', at), text.size());
    const std::wstring_view word = text.substr(at, end - at);
    at = end + 1;
    if (word.empty()) continue;
    if (!line.empty() && text_cells(line) + 1 + text_cells(word) > width) {
      lines.push_back(line);
      line.clear();
    }
    if (!line.empty()) line += L' ';
    line += word;
    // A word longer than a whole line goes on in the next.
    while (text_cells(line) > width && width > 0) {
      const std::wstring_view head = cut_cells(line, width);
      lines.emplace_back(head);
      line.erase(0, head.size());
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::wstring drive_letters_text(const std::vector<std::wstring>& drives) {
  std::wstring letters;
  for (const auto& root : drives) {
    if (root.empty()) continue;
    letters += root.front();
    letters += L' ';
  }
  return letters;
}

std::wstring centred_letters(std::wstring_view letters_text, int width) {
  const int lead = (width - 3) / 2 - static_cast<int>(letters_text.size() / 2);
  std::wstring row(static_cast<std::size_t>(std::max(lead, 0)), L' ');
  row += letters_text;
  return padded(row, static_cast<std::size_t>(std::max(width, 0)));
}

std::wstring centred_in(std::wstring_view text, int width) {
  const int lead = std::max((width - text_cells(text)) / 2, 0);
  return pad_cells(std::wstring(static_cast<std::size_t>(lead), L' ') + std::wstring(text), width);
}

Box box_in_frame(const ScreenLayout& layout, int wanted_width, int preferred_offset, int top, int height) {
  const int inner = std::max(layout.frame_width - 2, 0);
  const int width = std::clamp(wanted_width, 0, std::max(inner - 2, 0));
  const int first_inside = layout.left + 1;
  const int last_inside = layout.left + layout.frame_width - 2;
  int left = layout.left + preferred_offset;
  if (left <= first_inside || left + width - 1 >= last_inside) left = first_inside + (inner - width) / 2;
  return {left, top, width, height};
}

Box box_in_frame(const ScreenLayout& layout, BoxPlace place, int height) {
  return box_in_frame(layout, place.width, place.column, layout.list_top + place.row, height);
}

std::vector<std::wstring> drive_box_rows(std::wstring_view letters_text, int width) {
  const std::wstring blank(static_cast<std::size_t>(std::max(width, 0)), L' ');
  std::vector<std::wstring> rows{blank, centred_in(L"Available drives", width)};
  // Twenty-six letters with their blanks just fit a box of 53.
  for (const auto& line : wrap_words(letters_text, width - 1)) rows.push_back(centred_letters(line + L" ", width));
  rows.push_back(centred_in(kDrivePrompt, width));
  rows.push_back(blank);
  return rows;
}

}  // namespace zrn
