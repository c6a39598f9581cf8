#include "console/selection_screen.h"

#include <algorithm>

#include "console/console.h"
#include "console/drive_chooser.h"
#include "console/screen_frame.h"
#include "index/index_builder.h"
#include "platform/files.h"
#include "search/match_collection.h"

namespace zrn {

namespace {

constexpr int kCellsPerLine = 5;

std::wstring inner_blank(const ScreenLayout& layout) {
  return std::wstring(static_cast<std::size_t>(std::max(layout.frame_width - 2, 0)), L' ');
}

void draw_counter(const ScreenLayout& layout, Selection selection, std::int64_t count) {
  Console::set_colour(yellow, black);
  const std::wstring text = counter_text(selection.top, layout.page_size, count);
  print_at(layout.left + 2, layout.list_top - 1,
           cut_units(text, static_cast<std::size_t>(std::max(layout.frame_width - 3, 0))));
}

void show_preview_of(const ScreenLayout& layout, const std::wstring& directory) {
  const int lines = layout.preview_height + 2;
  // Only what fits is read: a directory of many thousand entries costs no more.
  const auto limit = static_cast<std::size_t>(kCellsPerLine * lines);
  draw_preview(layout, platform::list_directory(directory, limit));
}

std::wstring wait_for_key(int& code) {
  for (;;) {
    std::wstring text = Console::read_key();
    code = Console::last_key_code();
    if (!text.empty() || code != 0) return text;
    Console::wait_for_key(1);
  }
}

void rescan(const ScreenLayout& layout) {
  const std::wstring& root = state().drive_root;
  Console::set_colour(black, cyan);
  const int column = layout.left + 30;
  print_at(column, layout.list_top + 4, std::wstring(36, L' '));
  print_at(column, layout.list_top + 5, L"   Create IndexFile for Drive " + root + L"   ");
  print_at(column, layout.list_top + 6, std::wstring(36, L' '));
  build_index(root);
  collect_from_index(root);
}

void change_drive() {
  const std::wstring root = choose_drive();
  // An empty drive list lets ESC leave the chooser: the search stays put.
  if (root.empty()) return;
  state().drive_root = root;
  collect_from_index(root);
}

}  // namespace

void draw_count_line(const ScreenLayout& layout, std::int64_t count, std::wstring_view search_text) {
  const int row = layout.list_top - 1;
  Console::set_colour(yellow, black);
  print_at(layout.left + 1, row, inner_blank(layout));
  const CountLine line = place_count_line(layout, count, search_text);
  print_at(line.column, row, line.number);
  Console::set_colour(light_grey, black);
  Console::print(line.middle);
  Console::set_colour(yellow, black);
  Console::print(line.search_text);
}

std::wstring draw_list_rows(const ScreenLayout& layout, const std::vector<std::wstring>& matches,
                            Selection selection, int visible_rows) {
  std::wstring highlighted;
  const auto inner = static_cast<std::size_t>(std::max(layout.frame_width - 2, 0));
  for (int i = 0; i < visible_rows; ++i) {
    const int k = selection.top + i;
    if (k < 0 || static_cast<std::size_t>(k) >= matches.size()) break;
    const std::wstring& path = matches[static_cast<std::size_t>(k)];
    if (k == selection.selected) {
      Console::set_colour(black, light_grey);
      highlighted = path;
    } else {
      Console::set_colour(light_grey, black);
    }
    // A fitted long path can be a unit longer than the fitting width; the row
    // is cut so that it never reaches the right border.
    const std::wstring row = L" " + fit_path(path, layout.frame_width - 4) + L" ";
    print_at(layout.left + 1, layout.list_top + i, cut_units(row, inner));
  }
  Console::set_colour(light_grey, black);
  return highlighted;
}

void blank_rows_below_list(const ScreenLayout& layout, int visible_rows) {
  Console::set_colour(light_grey, black);
  for (int i = visible_rows; i < layout.page_size; ++i) {
    print_at(layout.left + 1, layout.list_top + i, inner_blank(layout));
  }
}

void draw_preview(const ScreenLayout& layout, const std::vector<platform::DirectoryEntry>& entries) {
  Console::set_colour(yellow, black);
  const int lines = layout.preview_height + 2;
  for (int n = 0; n < lines; ++n) print_at(layout.left + 1, layout.preview_top + n, inner_blank(layout));
  const auto texts = preview_lines(entries, lines, layout.frame_width - 2);
  for (std::size_t n = 0; n < texts.size(); ++n) {
    print_at(layout.left + 1, layout.preview_top + static_cast<int>(n), texts[n]);
  }
}

std::wstring run_selection_screen(const std::vector<std::wstring>& matches, int left, int list_top, int page_size) {
  auto& s = state();
  ScreenLayout layout = s.layout;
  layout.left = left;
  layout.list_top = list_top;
  layout.page_size = page_size;
  const auto count = static_cast<std::int64_t>(matches.size());
  if (count == 0) return L"";
  const int visible = static_cast<int>(std::min<std::int64_t>(page_size, count));
  const int m = static_cast<int>(std::min<std::int64_t>(count, 0x7FFFFFFF));
  Selection selection;

  draw_count_line(layout, count, s.search_text);
  blank_rows_below_list(layout, visible);
  for (;;) {
    const std::wstring highlighted = draw_list_rows(layout, matches, selection, visible);
    draw_counter(layout, selection, count);
    pause_reading_keys(20);
    show_preview_of(layout, highlighted + L"\\");

    int code = 0;
    const std::wstring text = wait_for_key(code);
    const KeyResult result = apply_key(selection, text, code, m, visible, page_size);
    switch (result.outcome) {
      case KeyOutcome::escape:
        return L"";
      case KeyOutcome::choose:
        return highlighted;
      case KeyOutcome::rescan:
        rescan(layout);
        redraw_fixed_rows(list_top + 4, list_top + 6);
        return kRedisplayMarker;
      case KeyOutcome::change_drive:
        change_drive();
        redraw_fixed_rows(list_top + 4, list_top + 8);
        return kRedisplayMarker;
      case KeyOutcome::moved:
        selection = result.selection;
        break;
    }
  }
}

}  // namespace zrn
