#include "console/screen_layout.h"

#include <algorithm>

#include "console/console.h"

namespace zrn {

namespace {

constexpr int kPreviewCellWidth = 18;
constexpr int kCellsPerLine = 5;

bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

std::wstring padded(std::wstring_view text, std::size_t width) {
  std::wstring result(cut_units(text, width));
  result.resize(width, L' ');
  return result;
}

std::wstring_view trimmed(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  const auto last = text.find_last_not_of(L' ');
  return text.substr(first, last - first + 1);
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
  // Rows 0 .. P + H + 10 are used: the legend row must still be visible.
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
  return {L"\u256D" + run + L"\u256E", L"\u2502" + std::wstring(inner, L' ') + L"\u2502",
          L"\u251C" + run + L"\u2524", L"\u2570" + run + L"\u256F"};
}

std::wstring fit_path(std::wstring_view path, int width) {
  const auto units = static_cast<std::size_t>(std::max(width, 0));
  if (path.size() <= units) return padded(path, units);
  const auto half = static_cast<std::size_t>(std::max((width - 3) / 2, 0));
  std::wstring result(path.substr(0, half));
  result += L"\uF061\U000F12F1\uF060";
  result += path.substr(path.size() - half);
  return result;
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

std::vector<std::wstring> legend_pieces() {
  return {L" ",
          L" F2=Rescan ",
          L" ",
          L" F3=Change Drive ",
          L" ",
          L" Navigation Keys=Move selection ",
          L" ",
          L" \U000F0311 Return=Select Directory ",
          L" ",
          L" ESC=Exit ",
          L" "};
}

CountLine place_count_line(const ScreenLayout& layout, std::int64_t count, std::wstring_view search_text) {
  CountLine line{0, with_thousands(count), L" directories were found with ", std::wstring(search_text)};
  const auto length = static_cast<int>(line.number.size() + line.middle.size() + line.search_text.size());
  const int inner_left = layout.left + 1;
  line.column = layout.left + layout.frame_width - 2 - length;
  if (line.column >= inner_left) return line;
  // Too long for its row: start inside the frame and stop where a fitting
  // line would have ended.
  line.column = inner_left;
  auto room = static_cast<std::size_t>(std::max(layout.frame_width - 3, 0));
  for (std::wstring* piece : {&line.number, &line.middle, &line.search_text}) {
    *piece = std::wstring(cut_units(*piece, room));
    room -= piece->size();
  }
  return line;
}

std::wstring counter_text(int top_index, int page_size, std::int64_t count) {
  return L"Row " + std::to_wstring(top_index + 1) + L" to " + std::to_wstring(top_index + page_size) + L" / " +
         std::to_wstring(count) + std::wstring(10, L' ');
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

std::wstring preview_cell(const platform::DirectoryEntry& entry) {
  const std::wstring shown = entry.is_directory ? L"[" + entry.name + L"]" : entry.name;
  return padded(shown, kPreviewCellWidth);
}

std::vector<std::wstring> preview_lines(const std::vector<platform::DirectoryEntry>& entries, int max_lines,
                                        int width) {
  std::vector<std::wstring> lines;
  std::wstring line;
  int cells = 0;
  const auto room = static_cast<std::size_t>(std::max(width, 0));
  for (const auto& entry : entries) {
    if (static_cast<int>(lines.size()) >= max_lines) break;
    line += preview_cell(entry) + L"  ";
    if (++cells == kCellsPerLine) {
      lines.emplace_back(cut_units(trimmed(line), room));
      line.clear();
      cells = 0;
    }
  }
  if (static_cast<int>(lines.size()) < max_lines && !trimmed(line).empty()) {
    lines.emplace_back(cut_units(trimmed(line), room));
  }
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

std::wstring centred_letters(std::wstring_view letters_text) {
  const int lead = 25 - static_cast<int>(letters_text.size() / 2);
  std::wstring row(static_cast<std::size_t>(std::max(lead, 0)), L' ');
  row += letters_text;
  return padded(row, 53);
}

}  // namespace zrn
