#include "console/selection_screen.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "console/cell_width.h"
#include "console/console.h"
#include "console/drive_chooser.h"
#include "console/narrowing.h"
#include "console/screen_frame.h"
#include "index/index_builder.h"
#include "index/index_storage.h"
#include "platform/files.h"
#include "platform/text.h"
#include "search/match_collection.h"

namespace zrn {

namespace {

// A key arriving within this pause after a move is handled before the
// preview is read: a held key costs no directory listing per step.
constexpr unsigned kPreviewPause = 20;
// How long one wait for a key lasts before the window size is looked at.
constexpr unsigned kWaitSlice = 50;
// The preview counts a directory's entries up to this many: no key is read
// while the file system lists them.
constexpr std::size_t kMostCountedEntries = 5000;

std::wstring inner_blank(const ScreenLayout& layout) {
  return std::wstring(static_cast<std::size_t>(std::max(layout.frame_width - 2, 0)), L' ');
}

// One pass: the list as it stands, what of it is on show, and where.
struct Pass {
  const std::vector<std::wstring>& matches;
  ScreenLayout layout;
  std::vector<std::size_t> shown;  // indices into matches, in their order
  std::int64_t count = 0;          // of the shown list
  int match_count = 0;             // the count as an index bound
  int visible = 0;
  Selection selection;
  CountLine count_line;
  std::wstring typed;         // the text that narrows the list
  std::wstring narrowed_for;  // the typed text that `shown` follows
  FoldedMatches folded;       // made once typing starts
  std::wstring note;
};

void all_shown(Pass& pass) {
  pass.shown.resize(pass.matches.size());
  for (std::size_t i = 0; i < pass.shown.size(); ++i) pass.shown[i] = i;
}

void count_shown(Pass& pass) {
  pass.count = static_cast<std::int64_t>(pass.shown.size());
  pass.match_count = static_cast<int>(std::min<std::int64_t>(pass.count, 0x7FFFFFFF));
}

// The layout for the list on show; true when it is not the one on screen.
bool take_layout(Pass& pass) {
  auto& s = state();
  const ScreenLayout wanted = compute_layout(s.window_width, s.window_height, pass.count);
  const bool changed = !(wanted == s.layout);
  if (changed) {
    s.layout = wanted;
    s.frame_texts = build_frame_texts(wanted.frame_width);
  }
  pass.layout = s.layout;
  pass.visible = static_cast<int>(std::min<std::int64_t>(pass.layout.page_size, pass.count));
  pass.selection = keep_in_view(pass.selection, pass.match_count, pass.visible);
  return changed;
}

// Narrows the list to the typed text; true when the layout changed with it.
bool narrow_list(Pass& pass) {
  const std::size_t highlighted =
      pass.count > 0 ? pass.shown[static_cast<std::size_t>(pass.selection.selected)] : pass.matches.size();
  if (pass.folded.paths.size() != pass.matches.size()) fold_matches(pass.matches, pass.folded);
  // More typed text can only keep fewer: only the list on show is searched.
  if (!pass.typed.starts_with(pass.narrowed_for)) all_shown(pass);
  pass.shown = narrow(pass.folded.paths, pass.shown, platform::upper(pass.typed));
  pass.narrowed_for = pass.typed;
  count_shown(pass);
  const auto at = std::lower_bound(pass.shown.begin(), pass.shown.end(), highlighted);
  if (at != pass.shown.end() && *at == highlighted) {
    pass.selection.selected = static_cast<int>(at - pass.shown.begin());
  } else {
    pass.selection = {};
  }
  return take_layout(pass);
}

void draw_counter(const Pass& pass) {
  const Styled bright(Style::bright);
  print_at(pass.layout.left + 2, pass.layout.list_top - 1,
           counter_shown(pass.layout, pass.selection.top, pass.count, pass.count_line));
}

void draw_list_and_counter(const Pass& pass) {
  draw_list_rows(pass.layout, pass.matches, pass.shown, pass.selection, pass.visible);
  draw_counter(pass);
}

// The row below the list, left empty by the frame: a note, else the typed
// text, else how to narrow a list longer than the page.
void draw_note_row(const Pass& pass) {
  const ScreenLayout& layout = pass.layout;
  const int inner = std::max(layout.frame_width - 2, 0);
  std::wstring text = pass.note;
  if (text.empty() && !pass.typed.empty()) text = L"Narrowed by: " + pass.typed;
  if (text.empty() && pass.count > pass.visible) text = L"Type letters to narrow the list.";
  const Styled bright(Style::bright);
  print_at(layout.left + 1, layout.list_top + layout.page_size, fit_console_cells(L" " + text, inner));
}

std::int64_t total_if_narrowed(const Pass& pass) {
  return pass.typed.empty() ? -1 : static_cast<std::int64_t>(pass.matches.size());
}

void draw_pass_start(Pass& pass) {
  const std::int64_t total = total_if_narrowed(pass);
  draw_count_line(pass.layout, pass.count, state().search_text, total);
  pass.count_line = place_count_line(pass.layout, pass.count, state().search_text, total, state().matches_not_shown);
  blank_rows_below_list(pass.layout, pass.visible);
  if (pass.count == 0) {
    const Styled bright(Style::bright);
    print_at(pass.layout.left + 1, pass.layout.list_top,
             fit_console_cells(L" No match holds every word typed; Backspace takes one letter back.",
                               pass.layout.frame_width - 2));
  }
  draw_note_row(pass);
}

void draw_everything(Pass& pass) {
  Console::set_style(Style::plain);
  Console::clear();
  draw_fixed_parts();
  draw_pass_start(pass);
  draw_list_and_counter(pass);
}

void show_preview_of(const ScreenLayout& layout, const std::wstring& directory) {
  const int lines = layout.preview_height + 2;
  // Only what fits is kept: a directory of many thousand entries costs no more.
  const auto limit = static_cast<std::size_t>(preview_grid(layout.frame_width - 2).per_line * lines);
  draw_preview(layout, platform::list_directory(directory, limit, kMostCountedEntries));
}

// Every key already waiting, up to and including one that ends the pass;
// the keys after that one stay for whatever comes next (the drive chooser).
std::vector<KeyPress> take_waiting_keys() {
  std::vector<KeyPress> keys;
  for (;;) {
    KeyPress key = Console::read_key();
    if (key.empty()) {
      // Wine's terminal console hands typed keys over only while the program
      // waits on the input: a wait of no time lets the rest of a burst in.
      if (Console::input_lost() || !Console::wait_for_key(0)) break;
      key = Console::read_key();
      if (key.empty()) break;
    }
    keys.push_back(key);
    if (ends_pass(key)) break;
  }
  return keys;
}

// The window's size when it is no longer the one the screen is drawn for.
std::optional<Size> changed_window() {
  const auto& s = state();
  const std::optional<Size> size = Console::window_size();
  if (size && (size->width != s.window_width || size->height != s.window_height)) return size;
  return std::nullopt;
}

// Follows a change of the window size: the whole screen drawn anew for the
// new size, or the size message while the window is too small. False when
// ESC is pressed on the size message or no key can be read any more.
bool follow_window(Pass& pass, Size size) {
  for (;;) {
    Console::fit_to_window();
    if (fit_layout_to_window(size.width, size.height, pass.count)) break;
    draw_size_message();
    for (;;) {
      if (const std::optional<Size> next = changed_window()) {
        size = *next;
        break;
      }
      for (const KeyPress& key : take_waiting_keys()) {
        if (is_escape(key.text, key.code)) return false;
      }
      if (Console::input_lost()) return false;
      Console::wait_for_key(kWaitSlice);
    }
  }
  take_layout(pass);
  draw_everything(pass);
  return true;
}

// Draws the box, rebuilds the index and searches it again; returns the box,
// or nothing when the build was cancelled or the drive is gone: the list stays.
std::optional<Box> rescan(Pass& pass, const ScreenLayout& layout) {
  auto& s = state();
  const std::wstring root = s.drive_root;
  const Box box = box_in_frame(layout, 36, 30, layout.list_top + 4, 3);
  const std::wstring blank(static_cast<std::size_t>(box.width), L' ');
  const std::wstring rows[] = {
      blank, fit_console_cells(centred_in(L"Create IndexFile for Drive " + root, box.width), box.width), blank};
  draw_box(box, rows);
  const IndexOutcome outcome = build_index(*s.index, root);
  if (outcome == IndexOutcome::cancelled || outcome == IndexOutcome::drive_missing) {
    pass.note = outcome_message(outcome, root);
    return std::nullopt;
  }
  if (outcome == IndexOutcome::not_written) {
    // The drive's earlier index, if any, still answers the search below.
    const std::wstring index = index_file_path(root);
    s.screen_note = L"Not written: " + index;
    s.after_screen.push_back(L"The index file " + index + L" could not be written.");
  }
  // Just built: its age needs no second look.
  Matches found = search_index(root, s.search_text);
  s.matches = std::move(found.paths);
  s.matches_not_shown = found.not_shown;
  return box;
}

enum class DriveChange { cancelled, changed, nothing_found };

// A drive without a match leaves the list, and the drive, as they were.
DriveChange change_drive(Pass& pass, Box& covered) {
  const std::wstring root = choose_drive(covered);
  if (root.empty()) return DriveChange::cancelled;
  auto& s = state();
  std::vector<std::wstring> before = s.matches;
  const std::wstring previous_root = s.drive_root;
  s.drive_root = root;
  SearchResult found = collect_from_index(*s.index, root, s.search_text);
  const IndexOutcome outcome = found.outcome;
  if (outcome == IndexOutcome::cancelled || outcome == IndexOutcome::drive_missing) {
    // The list was not touched.
    s.drive_root = previous_root;
    pass.note = outcome_message(outcome, root);
    return outcome == IndexOutcome::cancelled ? DriveChange::cancelled : DriveChange::nothing_found;
  }
  if (!found.matches.paths.empty()) {
    s.matches = std::move(found.matches.paths);
    s.matches_not_shown = found.matches.not_shown;
    return DriveChange::changed;
  }
  s.matches = std::move(before);
  s.drive_root = previous_root;
  pass.note = L"No directory on drive " + root + L" holds " + s.search_text + L"; the list stays.";
  return DriveChange::nothing_found;
}

}  // namespace

void draw_count_line(const ScreenLayout& layout, std::int64_t count, std::wstring_view search_text,
                     std::int64_t total) {
  const int row = layout.list_top - 1;
  const Styled bright(Style::bright);
  print_at(layout.left + 1, row, inner_blank(layout));
  const CountLine line = place_count_line(layout, count, search_text, total, state().matches_not_shown);
  print_at(line.column, row, line.number);
  {
    const Styled plain(Style::plain);
    Console::print(line.middle);
  }
  Console::print(line.search_text);
}

std::wstring draw_list_rows(const ScreenLayout& layout, const std::vector<std::wstring>& matches,
                            std::span<const std::size_t> shown, Selection selection, int visible_rows) {
  std::wstring highlighted;
  for (int i = 0; i < visible_rows; ++i) {
    const int k = selection.top + i;
    if (k < 0 || static_cast<std::size_t>(k) >= shown.size()) break;
    const std::wstring& path = matches[shown[static_cast<std::size_t>(k)]];
    if (k == selection.selected) highlighted = path;
    const Styled style(k == selection.selected ? Style::chosen : Style::plain);
    print_at(layout.left + 1, layout.list_top + i, list_row(path, layout.frame_width));
  }
  return highlighted;
}

void blank_rows_below_list(const ScreenLayout& layout, int visible_rows) {
  Console::set_style(Style::plain);
  for (int i = visible_rows; i < layout.page_size; ++i) {
    print_at(layout.left + 1, layout.list_top + i, inner_blank(layout));
  }
}

void draw_preview(const ScreenLayout& layout, const platform::DirectoryListing& listing) {
  const Styled bright(Style::bright);
  const int lines = layout.preview_height + 2;
  for (int n = 0; n < lines; ++n) print_at(layout.left + 1, layout.preview_top + n, inner_blank(layout));
  const auto texts = preview_lines(listing, lines, layout.frame_width - 2);
  for (std::size_t n = 0; n < texts.size(); ++n) {
    print_at(layout.left + 1, layout.preview_top + static_cast<int>(n),
             cut_console_cells(texts[n], layout.frame_width - 2));
  }
}

std::wstring run_selection_screen(const std::vector<std::wstring>& matches, DirectoryExists exists) {
  if (matches.empty()) return L"";
  Pass pass{matches, {}, {}, 0, 0, 0, {}, {}, {}, {}, {}, {}};
  all_shown(pass);
  count_shown(pass);
  pass.note = std::exchange(state().screen_note, std::wstring());
  if (take_layout(pass)) {
    draw_everything(pass);
  } else {
    draw_pass_start(pass);
    draw_list_and_counter(pass);
  }
  bool preview_due = true;
  for (;;) {
    const std::vector<KeyPress> keys = take_waiting_keys();
    if (Console::input_lost()) return L"";
    if (!keys.empty()) {
      const bool had_note = !pass.note.empty();
      pass.note.clear();
      bool relaid = false;
      bool narrowed = false;
      KeyResult last{KeyOutcome::moved, pass.selection};
      for (const KeyPress& key : keys) {
        if (edits_filter(key.text)) {
          pass.typed = edited_filter(std::move(pass.typed), key.text[0]);
          continue;
        }
        // Keys after typed letters move in the narrowed list.
        if (pass.typed != pass.narrowed_for) {
          relaid = narrow_list(pass) || relaid;
          narrowed = true;
        }
        last = apply_key(pass.selection, key.text, key.code, pass.match_count, pass.visible, pass.layout.page_size);
        pass.selection = pass.count > 0 ? last.selection : Selection{};
        if (last.outcome != KeyOutcome::moved) break;
      }
      if (last.outcome == KeyOutcome::moved && pass.typed != pass.narrowed_for) {
        relaid = narrow_list(pass) || relaid;
        narrowed = true;
      }
      switch (last.outcome) {
        case KeyOutcome::escape:
          return L"";
        case KeyOutcome::choose: {
          if (pass.count == 0) break;
          const std::wstring& path = matches[pass.shown[static_cast<std::size_t>(pass.selection.selected)]];
          if (exists(path)) return path;
          // Handed over, it would only make cmd complain after the page closed.
          pass.note = L"This directory no longer exists; F2 rebuilds the index.";
          break;
        }
        case KeyOutcome::rescan: {
          if (const auto box = rescan(pass, pass.layout)) {
            uncover(*box);
            return kRedisplayMarker;
          }
          relaid = true;
          break;
        }
        case KeyOutcome::change_drive: {
          Box box;
          const DriveChange change = change_drive(pass, box);
          if (change == DriveChange::changed) {
            uncover(box);
            return kRedisplayMarker;
          }
          relaid = true;
          break;
        }
        case KeyOutcome::moved:
          break;
      }
      if (relaid) {
        draw_everything(pass);
      } else if (narrowed || had_note || !pass.note.empty()) {
        draw_pass_start(pass);
        draw_list_and_counter(pass);
      } else {
        draw_list_and_counter(pass);
      }
      preview_due = true;
      continue;
    }
    if (const std::optional<Size> size = changed_window()) {
      if (!follow_window(pass, *size)) return L"";
      preview_due = true;
      continue;
    }
    if (preview_due) {
      if (Console::wait_for_key(kPreviewPause)) continue;
      if (pass.count == 0) {
        draw_preview(pass.layout, {});
      } else {
        show_preview_of(pass.layout, matches[pass.shown[static_cast<std::size_t>(pass.selection.selected)]] + L"\\");
      }
      preview_due = false;
      continue;
    }
    Console::wait_for_key(kWaitSlice);
  }
}

}  // namespace zrn
