#include "console/selection_screen.h"

#include <algorithm>

#include "console/cell_width.h"
#include "console/console.h"
#include "console/drive_chooser.h"
#include "console/screen_frame.h"
#include "index/index_builder.h"
#include "index/index_storage.h"
#include "platform/files.h"
#include "search/match_collection.h"

namespace zrn {

namespace {

// A key arriving within this pause after a move is handled before the
// preview is read: a held key costs no directory listing per step.
constexpr unsigned kPreviewPause = 20;
// How long one wait for a key lasts before the window size is looked at.
constexpr unsigned kWaitSlice = 50;

std::wstring inner_blank(const ScreenLayout& layout) {
  return std::wstring(static_cast<std::size_t>(std::max(layout.frame_width - 2, 0)), L' ');
}

// One pass: the list as it stands, and where it is drawn.
struct Pass {
  const std::vector<std::wstring>& matches;
  ScreenLayout layout;
  std::int64_t count = 0;
  int match_count = 0;  // the count as an index bound
  int visible = 0;
  Selection selection;
  CountLine count_line;
};

void take_layout(Pass& pass, int left, int list_top, int page_size) {
  pass.layout = state().layout;
  pass.layout.left = left;
  pass.layout.list_top = list_top;
  pass.layout.page_size = page_size;
  pass.visible = static_cast<int>(std::min<std::int64_t>(page_size, pass.count));
  pass.selection = keep_in_view(pass.selection, pass.match_count, pass.visible);
}

void draw_counter(const Pass& pass) {
  Console::set_colour(yellow, black);
  print_at(pass.layout.left + 2, pass.layout.list_top - 1,
           counter_shown(pass.layout, pass.selection.top, pass.count, pass.count_line));
}

void draw_list_and_counter(const Pass& pass) {
  draw_list_rows(pass.layout, pass.matches, pass.selection, pass.visible);
  draw_counter(pass);
}

// The row below the list, left empty by the frame, holds a note if any.
void draw_note_row(const ScreenLayout& layout) {
  const int inner = std::max(layout.frame_width - 2, 0);
  Console::set_colour(yellow, black);
  print_at(layout.left + 1, layout.list_top + layout.page_size, clip(pad_cells(L" " + state().screen_note, inner), inner));
  Console::set_colour(light_grey, black);
}

void draw_pass_start(Pass& pass) {
  draw_count_line(pass.layout, pass.count, state().search_text);
  pass.count_line = place_count_line(pass.layout, pass.count, state().search_text);
  blank_rows_below_list(pass.layout, pass.visible);
  draw_note_row(pass.layout);
}

void draw_everything(Pass& pass) {
  Console::set_colour(light_grey, black);
  Console::clear();
  draw_fixed_parts();
  draw_pass_start(pass);
  draw_list_and_counter(pass);
}

void show_preview_of(const ScreenLayout& layout, const std::wstring& directory) {
  const int lines = layout.preview_height + 2;
  // Only what fits is read: a directory of many thousand entries costs no more.
  const auto limit = static_cast<std::size_t>(preview_grid(layout.frame_width - 2).per_line * lines);
  draw_preview(layout, platform::list_directory(directory, limit));
}

// Every key already waiting, up to and including one that ends the pass;
// the keys after that one stay for whatever comes next (the drive chooser).
std::vector<KeyPress> take_waiting_keys() {
  std::vector<KeyPress> keys;
  for (;;) {
    KeyPress key{Console::read_key(), Console::last_key_code()};
    if (key.text.empty() && key.code == 0) {
      // Wine's terminal console hands typed keys over only while the program
      // waits on the input: a wait of no time lets the rest of a burst in.
      if (Console::input_lost() || !Console::wait_for_key(0)) break;
      key = KeyPress{Console::read_key(), Console::last_key_code()};
      if (key.text.empty() && key.code == 0) break;
    }
    keys.push_back(key);
    if (ends_pass(key)) break;
  }
  return keys;
}

bool window_changed() {
  const auto& s = state();
  return Console::window_size() &&
         (Console::window_width() != s.window_width || Console::window_height() != s.window_height);
}

// Follows a change of the window size: the whole screen drawn anew for the
// new size, or the size message while the window is too small. False when
// ESC is pressed on the size message or no key can be read any more.
bool follow_window(Pass& pass, int left, int list_top) {
  for (;;) {
    Console::fit_to_window();
    if (fit_layout_to_window(Console::window_width(), Console::window_height())) break;
    draw_size_message();
    while (!window_changed()) {
      for (const KeyPress& key : take_waiting_keys()) {
        if (is_escape(key.text, key.code)) return false;
      }
      if (Console::input_lost()) return false;
      Console::wait_for_key(kWaitSlice);
    }
  }
  take_layout(pass, left, list_top, state().layout.page_size);
  draw_everything(pass);
  return true;
}

void rescan(const ScreenLayout& layout) {
  auto& s = state();
  const std::wstring root = s.drive_root;
  Console::set_colour(black, cyan);
  const int column = layout.left + 30;
  print_at(column, layout.list_top + 4, std::wstring(36, L' '));
  print_at(column, layout.list_top + 5, L"   Create IndexFile for Drive " + root + L"   ");
  print_at(column, layout.list_top + 6, std::wstring(36, L' '));
  if (!build_index(root)) {
    // The drive's earlier index, if any, still answers the search below.
    const std::wstring index = index_file_path(root);
    s.screen_note = L"Not written: " + index;
    s.after_screen.push_back(L"The index file " + index + L" could not be written.");
  }
  collect_from_index(root);
}

// False when the chooser was left with ESC: the list stays as it was.
bool change_drive() {
  const std::wstring root = choose_drive();
  if (root.empty()) return false;
  state().drive_root = root;
  collect_from_index(root);
  return true;
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
  const int inner = std::max(layout.frame_width - 2, 0);
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
    // The frame's inner width in cells, whatever the script, and never more
    // units than that: the right border stays where it is.
    print_at(layout.left + 1, layout.list_top + i, clip(pad_cells(L" " + fit_path(path, layout.frame_width - 4), inner), inner));
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
    print_at(layout.left + 1, layout.preview_top + static_cast<int>(n), clip(texts[n], layout.frame_width - 2));
  }
}

std::wstring run_selection_screen(const std::vector<std::wstring>& matches, int left, int list_top, int page_size) {
  const auto count = static_cast<std::int64_t>(matches.size());
  if (count == 0) return L"";
  Pass pass{matches, {}, count, static_cast<int>(std::min<std::int64_t>(count, 0x7FFFFFFF)), 0, {}, {}};
  take_layout(pass, left, list_top, page_size);

  draw_pass_start(pass);
  state().screen_note.clear();
  draw_list_and_counter(pass);
  bool preview_due = true;
  for (;;) {
    const std::vector<KeyPress> keys = take_waiting_keys();
    if (Console::input_lost()) return L"";
    if (!keys.empty()) {
      const BurstResult burst = apply_burst(pass.selection, keys, pass.match_count, pass.visible,
                                            pass.layout.page_size);
      pass.selection = burst.last.selection;
      switch (burst.last.outcome) {
        case KeyOutcome::escape:
          return L"";
        case KeyOutcome::choose:
          return matches[static_cast<std::size_t>(pass.selection.selected)];
        case KeyOutcome::rescan:
          rescan(pass.layout);
          redraw_fixed_rows(list_top + 4, list_top + 6);
          return kRedisplayMarker;
        case KeyOutcome::change_drive:
          if (change_drive()) {
            redraw_fixed_rows(list_top + 4, list_top + 8);
            return kRedisplayMarker;
          }
          draw_everything(pass);
          break;
        case KeyOutcome::moved:
          draw_list_and_counter(pass);
          break;
      }
      preview_due = true;
      continue;
    }
    if (window_changed()) {
      if (!follow_window(pass, left, list_top)) return L"";
      preview_due = true;
      continue;
    }
    if (preview_due) {
      if (Console::wait_for_key(kPreviewPause)) continue;
      show_preview_of(pass.layout, matches[static_cast<std::size_t>(pass.selection.selected)] + L"\\");
      preview_due = false;
      continue;
    }
    Console::wait_for_key(kWaitSlice);
  }
}

}  // namespace zrn
