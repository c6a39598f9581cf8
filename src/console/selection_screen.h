#pragma once
// The selection page: each pass shows a list of matches (the count line, the
// list, the counter, the preview) and takes keys until one ends the pass.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "console/screen_frame.h"
#include "console/screen_layout.h"

namespace zrn {

// How a pass ended.
struct PageResult {
  enum class Kind { chosen, cancelled, rescan, change_drive };
  Kind kind = Kind::cancelled;
  std::wstring path;        // chosen: the directory
  std::wstring drive_root;  // change_drive: the drive typed in the F3 box, "X:\";
                            // rescan: the drive to rebuild
};

// Return on a match that `exists` denies keeps the page and says so.
using DirectoryExists = bool (*)(const std::wstring& path);
// Where a match leads when a link takes it off its drive; its preview then
// says so instead of reading the folder there.
using LinkDestination = std::optional<std::wstring> (*)(const std::wstring& path);

// Where each match leads off its drive, asked of `LinkDestination` only for
// the rows drawn and kept for the page's life: a list of 100,000 matches
// costs no more checks than the rows the user sees.
class LinkMarks {
 public:
  explicit LinkMarks(LinkDestination leads_off) : leads_off_(leads_off) {}
  // The destination off the drive, or nothing when `path` stays on it.
  const std::optional<std::wstring>& destination(const std::wstring& path);

 private:
  LinkDestination leads_off_;
  std::unordered_map<std::wstring, std::optional<std::wstring>> known_;
};

struct PassState;
struct KeySteps;

class SelectionPage {
 public:
  // `title` heads the frame; `search_text` is named on the count line.
  // Draws on `console`, which must outlive the page.
  SelectionPage(Console& console, Size window, std::wstring title, std::wstring search_text,
                DirectoryExists exists = platform::is_directory, LinkDestination leads_off = nullptr);
  ~SelectionPage();
  SelectionPage(const SelectionPage&) = delete;
  SelectionPage& operator=(const SelectionPage&) = delete;

  // Clears the console and draws the frame for a list of `count`.
  void open(std::int64_t count);

  // A pass over `matches` (found on `drive_root`, or on several drives
  // when it is empty, with `not_shown` more found
  // beyond the list's cap): the first match highlighted, nothing typed. The
  // layout follows the list on show: the matches, or those that the typed
  // text narrows them to. An empty list ends the pass at once, cancelled.
  // Rescan ends the pass with the F2 box on show, change_drive with the F3
  // box; the next pass takes the box away.
  PageResult run(const std::vector<std::wstring>& matches, std::uint64_t not_shown, std::wstring drive_root);
  // Goes on with the pass that ended in rescan or change_drive, over its
  // list (which must be as it was), with the highlight and the typed text
  // kept and `note` in the row below the list.
  PageResult resume(std::wstring note);
  // Shown in the row below the list during the next pass.
  void note_next_pass(std::wstring note);

  // A line of progress on the legend's row, whose keys do nothing while it
  // shows; `hide_status` draws the legend again.
  void show_status(std::wstring_view text) const;
  void hide_status() const;

  const Frame& frame() const { return frame_; }

 private:
  // The pass's keys until one ends it, the preview read once none waits.
  PageResult take_keys();
  // One burst of waiting keys: applied, then the pass ended or redrawn.
  std::optional<PageResult> take_burst(PassState& pass, const std::vector<KeyPress>& keys);
  // How the burst ends the pass, if it does.
  std::optional<PageResult> decide(PassState& pass, KeySteps& steps);
  // Return: the highlighted match, or a note on why it cannot be chosen.
  std::optional<PageResult> choose_highlighted(PassState& pass);

  Console& console_;
  Frame frame_;
  std::wstring search_text_;
  DirectoryExists exists_;
  LinkMarks marks_;
  std::wstring next_note_;
  std::optional<Box> box_;           // the F2 or F3 box left on show
  std::unique_ptr<PassState> pass_;  // the last pass, for `resume`
};

// The drawing steps of a pass, usable on their own. A negative `total` is a
// list that is not narrowed; `more` counts matches beyond the list's cap.
// The count line returns where it was placed, for the counter beside it.
CountLine draw_count_line(Console& console, const Frame& frame, std::int64_t count, std::wstring_view search_text,
                          std::int64_t total = -1, std::uint64_t more = 0);
// Draws the visible rows of the matches on show (indices into `matches`),
// each that `marks` finds off its drive marked with where it leads.
void draw_list_rows(Console& console, const Frame& frame, const std::vector<std::wstring>& matches,
                    std::span<const std::size_t> shown, Selection selection, int visible_rows,
                    LinkMarks* marks = nullptr);
void blank_rows_below_list(Console& console, const Frame& frame, int visible_rows);
void draw_preview(Console& console, const Frame& frame, const platform::DirectoryListing& listing);

}  // namespace zrn
