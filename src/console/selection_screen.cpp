#include "console/selection_screen.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "console/cell_width.h"
#include "console/console.h"
#include "console/drive_chooser.h"
#include "console/narrowing.h"
#include "paths/paths.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zrn {

namespace {

// A key arriving within this pause after a move is handled before the
// preview is read: a held key costs no directory listing per step.
constexpr unsigned kPreviewPause = kShortKeyWait;
// How long one wait for a key lasts before the window size is looked at.
constexpr unsigned kWaitSlice = 50;
// The preview counts a directory's entries up to this many: no key is read
// while the file system lists them.
constexpr std::size_t kMostCountedEntries = 5000;

std::wstring inner_blank(const ScreenLayout& layout) {
  return std::wstring(static_cast<std::size_t>(std::max(layout.frame_width - 2, 0)), L' ');
}

}  // namespace

// One pass: the list as it stands, what of it is on show, and where.
struct PassState {
  PassState(Console& to, Frame& on, LinkMarks& links, const std::vector<std::wstring>& list, std::uint64_t more,
            std::wstring root, std::wstring_view text)
      : console(to),
        frame(on),
        marks(links),
        matches(list),
        not_shown(more),
        drive_root(std::move(root)),
        search_text(text) {}

  Console& console;
  Frame& frame;
  LinkMarks& marks;
  const std::vector<std::wstring>& matches;
  std::uint64_t not_shown = 0;
  std::wstring drive_root;
  std::wstring_view search_text;
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

namespace {

void all_shown(PassState& pass) {
  pass.shown.resize(pass.matches.size());
  for (std::size_t i = 0; i < pass.shown.size(); ++i) pass.shown[i] = i;
}

void count_shown(PassState& pass) {
  pass.count = static_cast<std::int64_t>(pass.shown.size());
  pass.match_count = static_cast<int>(std::min<std::int64_t>(pass.count, std::numeric_limits<int>::max()));
}

// The layout for the list on show; true when it is not the one on screen.
bool take_layout(PassState& pass) {
  const bool changed = lay_out(pass.frame, pass.count);
  pass.visible = static_cast<int>(std::min<std::int64_t>(pass.frame.layout.page_size, pass.count));
  pass.selection = keep_in_view(pass.selection, pass.match_count, pass.visible);
  return changed;
}

// Narrows the list to the typed text; true when the layout changed with it.
bool narrow_list(PassState& pass) {
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

void draw_counter(const PassState& pass) {
  const ScreenLayout& layout = pass.frame.layout;
  const Styled bright(pass.console, Style::bright);
  print_at(pass.console, pass.frame, layout.left + 2, layout.list_top - 1,
           counter_shown(layout, pass.selection.top, pass.count, pass.count_line));
}

void draw_list_and_counter(const PassState& pass) {
  draw_list_rows(pass.console, pass.frame, pass.matches, pass.shown, pass.selection, pass.visible, &pass.marks);
  draw_counter(pass);
}

// The row below the list, left empty by the frame: a note, else the typed
// text, else how to narrow a list longer than the page.
void draw_note_row(const PassState& pass) {
  const ScreenLayout& layout = pass.frame.layout;
  const int inner = std::max(layout.frame_width - 2, 0);
  std::wstring text = pass.note;
  if (text.empty() && !pass.typed.empty()) text = L"Narrowed by: " + pass.typed;
  if (text.empty() && pass.count > pass.visible) text = L"Type letters to narrow the list.";
  const Styled bright(pass.console, Style::bright);
  print_at(pass.console, pass.frame, layout.left + 1, layout.list_top + layout.page_size,
           fit_console_cells(L" " + text, inner));
}

std::int64_t total_if_narrowed(const PassState& pass) {
  return pass.typed.empty() ? -1 : static_cast<std::int64_t>(pass.matches.size());
}

void draw_pass_start(PassState& pass) {
  const ScreenLayout& layout = pass.frame.layout;
  const std::int64_t total = total_if_narrowed(pass);
  pass.count_line = draw_count_line(pass.console, pass.frame, pass.count, pass.search_text, total, pass.not_shown);
  blank_rows_below_list(pass.console, pass.frame, pass.visible);
  if (pass.count == 0) {
    const Styled bright(pass.console, Style::bright);
    print_at(pass.console, pass.frame, layout.left + 1, layout.list_top,
             fit_console_cells(L" No match holds every word typed; Backspace takes one letter back.",
                               layout.frame_width - 2));
  }
  draw_note_row(pass);
}

void draw_everything(PassState& pass) {
  pass.console.set_style(Style::plain);
  pass.console.clear();
  draw_fixed_parts(pass.console, pass.frame);
  draw_pass_start(pass);
  draw_list_and_counter(pass);
}

void show_preview_of(Console& console, const Frame& frame, const std::wstring& directory, LinkMarks& marks) {
  const int lines = frame.layout.preview_height + 2;
  // A folder on another drive or a share is not read: on a share, reading
  // logs on to its server with the user's credentials.
  if (const auto& destination = marks.destination(directory)) {
    draw_preview(console, frame, {});
    const Styled bright(console, Style::bright);
    const auto text = directory + L" is a link to " + *destination + L", off its drive: its contents are not shown.";
    const auto wrapped = wrap_words(text, frame.layout.frame_width - 2);
    for (std::size_t n = 0; n < wrapped.size() && n < static_cast<std::size_t>(lines); ++n) {
      print_at(console, frame, frame.layout.left + 1, frame.layout.preview_top + static_cast<int>(n),
               cut_console_cells(wrapped[n], frame.layout.frame_width - 2));
    }
    return;
  }
  // Only what fits is kept: a directory of many thousand entries costs no more.
  const auto limit = static_cast<std::size_t>(preview_grid(frame.layout.frame_width - 2).per_line * lines);
  draw_preview(console, frame, platform::list_directory(directory + L"\\", limit, kMostCountedEntries));
}

// Every key already waiting, up to and including one that ends the pass;
// the keys after that one stay for whatever comes next (the drive chooser).
std::vector<KeyPress> take_waiting_keys(Console& console) {
  std::vector<KeyPress> keys;
  for (;;) {
    KeyPress key = console.read_key();
    if (key.empty()) {
      // Wine's terminal console hands typed keys over only while the program
      // waits on the input: a wait of no time lets the rest of a burst in.
      if (console.input_lost() || !console.wait_for_key(0)) break;
      key = console.read_key();
      if (key.empty()) break;
    }
    keys.push_back(key);
    if (ends_pass(key)) break;
  }
  return keys;
}

// The window's size when it is no longer the one the screen is drawn for.
std::optional<Size> changed_window(Console& console, const Frame& frame) {
  const std::optional<Size> size = console.window_size();
  if (size && (size->width != frame.window.width || size->height != frame.window.height)) return size;
  return std::nullopt;
}

// Follows a change of the window size: the whole screen drawn anew for the
// new size, or the size message while the window is too small. False when
// ESC is pressed on the size message or no key can be read any more.
bool follow_window(PassState& pass, Size size) {
  for (;;) {
    pass.console.fit_to_window();
    if (fit_layout_to_window(pass.frame, size, pass.count)) break;
    draw_size_message(pass.console, pass.frame);
    for (;;) {
      if (const std::optional<Size> next = changed_window(pass.console, pass.frame)) {
        size = *next;
        break;
      }
      for (const KeyPress& key : take_waiting_keys(pass.console)) {
        if (is_escape(key.text, key.code)) return false;
      }
      if (pass.console.input_lost()) return false;
      pass.console.wait_for_key(kWaitSlice);
    }
  }
  take_layout(pass);
  draw_everything(pass);
  return true;
}

// The F2 box, naming the drive whose index is built next.
Box draw_rescan_box(Console& console, const Frame& frame, const std::wstring& drive_root) {
  const Box box = box_in_frame(frame.layout, kRescanBox, kRescanBoxHeight);
  const std::wstring blank(static_cast<std::size_t>(box.width), L' ');
  const std::wstring rows[] = {
      blank, fit_console_cells(centred_in(L"Create IndexFile for Drive " + drive_root, box.width), box.width), blank};
  draw_box(console, frame, box, rows);
  return box;
}

}  // namespace

CountLine draw_count_line(Console& console, const Frame& frame, std::int64_t count, std::wstring_view search_text,
                          std::int64_t total, std::uint64_t more) {
  const ScreenLayout& layout = frame.layout;
  const int row = layout.list_top - 1;
  const Styled bright(console, Style::bright);
  print_at(console, frame, layout.left + 1, row, inner_blank(layout));
  const CountLine line = place_count_line(layout, count, search_text, total, more);
  print_at(console, frame, line.column, row, line.number);
  {
    const Styled plain(console, Style::plain);
    console.print(line.middle);
  }
  console.print(line.search_text);
  return line;
}

const std::optional<std::wstring>& LinkMarks::destination(const std::wstring& path) {
  const auto known = known_.find(path);
  if (known != known_.end()) return known->second;
  return known_.emplace(path, leads_off_ ? leads_off_(path) : std::nullopt).first->second;
}

void draw_list_rows(Console& console, const Frame& frame, const std::vector<std::wstring>& matches,
                    std::span<const std::size_t> shown, Selection selection, int visible_rows, LinkMarks* marks) {
  const ScreenLayout& layout = frame.layout;
  for (int i = 0; i < visible_rows; ++i) {
    const int k = selection.top + i;
    if (k < 0 || static_cast<std::size_t>(k) >= shown.size()) break;
    const std::wstring& path = matches[shown[static_cast<std::size_t>(k)]];
    const Styled style(console, k == selection.selected ? Style::chosen : Style::plain);
    // Only the rows drawn are checked, each once for the page's life.
    const std::optional<std::wstring>* destination = marks ? &marks->destination(path) : nullptr;
    print_at(console, frame, layout.left + 1, layout.list_top + i,
             destination && *destination ? list_row(path, layout.frame_width, **destination)
                                         : list_row(path, layout.frame_width));
  }
}

void blank_rows_below_list(Console& console, const Frame& frame, int visible_rows) {
  const ScreenLayout& layout = frame.layout;
  console.set_style(Style::plain);
  for (int i = visible_rows; i < layout.page_size; ++i) {
    print_at(console, frame, layout.left + 1, layout.list_top + i, inner_blank(layout));
  }
}

void draw_preview(Console& console, const Frame& frame, const platform::DirectoryListing& listing) {
  const ScreenLayout& layout = frame.layout;
  const Styled bright(console, Style::bright);
  const int lines = layout.preview_height + 2;
  for (int n = 0; n < lines; ++n)
    print_at(console, frame, layout.left + 1, layout.preview_top + n, inner_blank(layout));
  const auto texts = preview_lines(listing, lines, layout.frame_width - 2);
  for (std::size_t n = 0; n < texts.size(); ++n) {
    print_at(console, frame, layout.left + 1, layout.preview_top + static_cast<int>(n),
             cut_console_cells(texts[n], layout.frame_width - 2));
  }
}

SelectionPage::SelectionPage(Console& console, Size window, std::wstring title, std::wstring search_text,
                             DirectoryExists exists, LinkDestination leads_off)
    : console_(console), search_text_(std::move(search_text)), exists_(exists), marks_(leads_off) {
  frame_.window = window;
  frame_.title = std::move(title);
}

SelectionPage::~SelectionPage() = default;

void SelectionPage::open(std::int64_t count) {
  console_.clear();
  console_.locate(1, 1);
  lay_out(frame_, count);
  draw_fixed_parts(console_, frame_);
}

PageResult SelectionPage::run(const std::vector<std::wstring>& matches, std::uint64_t not_shown,
                              std::wstring drive_root) {
  if (box_) uncover(console_, frame_, *std::exchange(box_, std::nullopt));
  if (matches.empty()) return {};
  pass_ =
      std::make_unique<PassState>(console_, frame_, marks_, matches, not_shown, std::move(drive_root), search_text_);
  PassState& pass = *pass_;
  all_shown(pass);
  count_shown(pass);
  pass.note = std::exchange(next_note_, std::wstring());
  if (take_layout(pass)) {
    draw_everything(pass);
  } else {
    draw_pass_start(pass);
    draw_list_and_counter(pass);
  }
  return take_keys();
}

PageResult SelectionPage::resume(std::wstring note) {
  // The whole page is drawn anew, over the box too.
  box_.reset();
  if (!pass_) return {};
  pass_->note = std::move(note);
  draw_everything(*pass_);
  return take_keys();
}

void SelectionPage::note_next_pass(std::wstring note) { next_note_ = std::move(note); }

void SelectionPage::show_status(std::wstring_view text) const {
  const Styled bright(console_, Style::bright);
  print_at(console_, frame_, frame_.layout.left, frame_.layout.bottom + 1,
           pad_cells(text, std::max(frame_.window.width, 0)));
}

void SelectionPage::hide_status() const {
  const int row = frame_.layout.bottom + 1;
  console_.set_style(Style::plain);
  print_at(console_, frame_, frame_.layout.left, row,
           std::wstring(static_cast<std::size_t>(std::max(frame_.window.width, 0)), L' '));
  redraw_fixed_rows(console_, frame_, row, row);
}

// What a burst of keys did to the pass: how it ended, and what of the
// screen no longer shows it.
struct KeySteps {
  KeyOutcome outcome = KeyOutcome::moved;
  bool relaid = false;    // the layout changed: everything is drawn anew
  bool narrowed = false;  // the list on show changed
};

namespace {

// Narrows the list to the typed text when it has changed since.
void narrow_to_typed(PassState& pass, KeySteps& steps) {
  if (pass.typed == pass.narrowed_for) return;
  steps.relaid = narrow_list(pass) || steps.relaid;
  steps.narrowed = true;
}

// The keys in order: typing edits the filter; any other key moves in the
// list narrowed to what was typed before it, and a key that ends the pass
// ends the burst.
KeySteps apply_keys(PassState& pass, const std::vector<KeyPress>& keys) {
  KeySteps steps;
  for (const KeyPress& key : keys) {
    if (edits_filter(key.text)) {
      pass.typed = edited_filter(std::move(pass.typed), key.text[0]);
      continue;
    }
    narrow_to_typed(pass, steps);
    const KeyResult result =
        apply_key(pass.selection, key.text, key.code, pass.match_count, pass.visible, pass.frame.layout.page_size);
    pass.selection = pass.count > 0 ? result.selection : Selection{};
    steps.outcome = result.outcome;
    if (steps.outcome != KeyOutcome::moved) return steps;
  }
  narrow_to_typed(pass, steps);
  return steps;
}

const std::wstring& highlighted(const PassState& pass) {
  return pass.matches[pass.shown[static_cast<std::size_t>(pass.selection.selected)]];
}

// Draws what the keys changed: everything after a new layout, the rows that
// follow the list on show after narrowing or a note, else the list alone.
void redraw(PassState& pass, const KeySteps& steps, bool had_note) {
  if (steps.relaid) {
    draw_everything(pass);
    return;
  }
  if (steps.narrowed || had_note || !pass.note.empty()) draw_pass_start(pass);
  draw_list_and_counter(pass);
}

void show_preview(PassState& pass) {
  if (pass.count == 0) {
    draw_preview(pass.console, pass.frame, {});
  } else {
    show_preview_of(pass.console, pass.frame, highlighted(pass), pass.marks);
  }
}

}  // namespace

std::optional<PageResult> SelectionPage::choose_highlighted(PassState& pass) {
  if (pass.count == 0) return std::nullopt;
  const std::wstring& path = highlighted(pass);
  // Handed over, either would only make cmd complain after the page closed.
  if (!cmd_can_enter(path)) {
    pass.note = L"cmd cannot enter a path longer than " + std::to_wstring(kLongestEnterableDirectory) +
                L" characters; this one has " + std::to_wstring(path.size()) + L".";
    return std::nullopt;
  }
  if (exists_(path)) return PageResult{PageResult::Kind::chosen, path, {}};
  pass.note = L"This directory no longer exists; F2 rebuilds the index.";
  return std::nullopt;
}

std::optional<PageResult> SelectionPage::decide(PassState& pass, KeySteps& steps) {
  switch (steps.outcome) {
    case KeyOutcome::escape:
      return PageResult{};
    case KeyOutcome::choose:
      return choose_highlighted(pass);
    case KeyOutcome::rescan: {
      // A list of every drive's matches names no drive: F2 rebuilds the
      // highlighted match's.
      std::wstring root = pass.drive_root;
      if (root.empty() && pass.count > 0) root = highlighted(pass).substr(0, 3);
      if (root.empty()) return std::nullopt;
      box_ = draw_rescan_box(console_, frame_, root);
      return PageResult{PageResult::Kind::rescan, {}, std::move(root)};
    }
    case KeyOutcome::change_drive: {
      Box box;
      std::wstring root = choose_drive(console_, frame_, box);
      if (!root.empty()) {
        box_ = box;
        return PageResult{PageResult::Kind::change_drive, {}, std::move(root)};
      }
      // ESC in the box: the pass goes on, drawn anew over the box.
      steps.relaid = true;
      return std::nullopt;
    }
    case KeyOutcome::moved:
      break;
  }
  return std::nullopt;
}

std::optional<PageResult> SelectionPage::take_burst(PassState& pass, const std::vector<KeyPress>& keys) {
  const bool had_note = !pass.note.empty();
  pass.note.clear();
  KeySteps steps = apply_keys(pass, keys);
  if (std::optional<PageResult> ended = decide(pass, steps)) return ended;
  redraw(pass, steps, had_note);
  return std::nullopt;
}

PageResult SelectionPage::take_keys() {
  PassState& pass = *pass_;
  bool preview_due = true;
  for (;;) {
    const std::vector<KeyPress> keys = take_waiting_keys(console_);
    if (console_.input_lost()) return {};
    if (!keys.empty()) {
      if (std::optional<PageResult> ended = take_burst(pass, keys)) return *ended;
      preview_due = true;
    } else if (const std::optional<Size> size = changed_window(console_, frame_)) {
      if (!follow_window(pass, *size)) return {};
      preview_due = true;
    } else if (preview_due) {
      // A key arriving within the pause is handled before the preview.
      if (!console_.wait_for_key(kPreviewPause)) {
        show_preview(pass);
        preview_due = false;
      }
    } else {
      console_.wait_for_key(kWaitSlice);
    }
  }
}

}  // namespace zrn
