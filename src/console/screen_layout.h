#pragma once
// The selection screen's rules as pure functions: geometry, frame texts, path
// fitting, numbers, key transitions, preview lines and the drive letters.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "platform/files.h"

namespace zrn {

inline constexpr int kMinimumWidth = 50;
inline constexpr int kMinimumHeight = 30;
inline constexpr int kMaximumFrameWidth = 100;
inline constexpr int kMaximumPageSize = 15;

// The page's geometry for a window and a list; laid out again whenever
// either changes.
struct ScreenLayout {
  int frame_width = 0;     // the frame's columns: the window's, at most 100
  int left = 1;            // the frame's first column
  int top = 1;             // the frame's top row
  int list_top = 5;        // the first row of the list
  int page_size = 0;       // the rows of the list
  int preview_height = 0;  // the rows of the preview, less its two blank ones
  int preview_top = 0;     // the first row of the preview
  int bottom = 0;          // the frame's bottom row; the legend is below it

  bool operator==(const ScreenLayout&) const = default;
};

// The frame width the window checks compare with 50.
int checked_frame_width(int window_width);

// The geometry for the first display. The frame starts at column 1, so in a
// window of 100 columns or fewer it is one column narrower than the window:
// its right border then sits on the last visible column. A window too low for
// fifteen list rows plus preview, borders and legend gets a shorter page.
ScreenLayout compute_layout(int window_width, int window_height, std::int64_t match_count);

// Top border, side line, separator, bottom border; each `width` long.
std::array<std::wstring, 4> build_frame_texts(int width);

// The path padded to `width` cells, or its two ends around the three
// separator characters when it is wider.
std::wstring fit_path(std::wstring_view path, int width);

// A list row: " " and the fitted path, exactly the frame's inner width in
// console cells however the console counts wide characters and the
// shortening marker, so the right border stays.
std::wstring list_row(std::wstring_view path, int frame_width);
// The same for a match that a link takes off its drive to `destination`:
// the row ends in " (a link to <destination>)", the mark taking at most half
// the row, its destination fitted like a path, and the row still exactly
// the frame's inner width.
std::wstring list_row(std::wstring_view path, int frame_width, std::wstring_view destination);

// At most `units` UTF-16 units, never ending inside a surrogate pair.
std::wstring_view cut_units(std::wstring_view text, std::size_t units);

// 1234 -> "1,234".
std::wstring with_thousands(std::int64_t number);

// The whole legend's pieces; odd indices are the key texts (colour 0 on 3).
std::vector<std::wstring> legend_pieces();
// The whole legend when `room` cells hold its 104 units, else the longest
// compact legend that fits; every one shows Return and ESC.
std::vector<std::wstring> legend_for(int room);

struct CountLine {
  int column = 0;
  std::wstring number;       // colour 14 on 0
  std::wstring middle;       // colour 7 on 0
  std::wstring search_text;  // colour 14 on 0
};
// Right-aligned to end at column left + frame_width - 3, never reaching into the
// counter: where the row is short, "found with" stands for the longer middle
// text, then the search text is cut, so the counter's widest text for this
// count still fits before it.
// A narrowed list counts as "12 of 807": `total` is the whole list's count,
// negative when the list is not narrowed. `more`: matches found beyond the
// list's cap, shown after the count as "(+N more)".
CountLine place_count_line(const ScreenLayout& layout, std::int64_t count, std::wstring_view search_text,
                           std::int64_t total = -1, std::uint64_t more = 0);

// The rows shown, never beyond the count: "Row 1 to 2 / 2", "Row 0 to 0 / 0".
std::wstring counter_text(int top_index, int page_size, std::int64_t count);
// The counter as drawn: its ten trailing spaces cut so that they stop a cell
// before the count line.
std::wstring counter_shown(const ScreenLayout& layout, int top_index, std::int64_t count, const CountLine& line);

// ESC as character 27, or as its key code alone: Wine's terminal console
// delivers a lone ESC without its character.
bool is_escape(std::wstring_view text, int code);

// Where the list stands within one pass.
struct Selection {
  int top = 0;
  int selected = 0;
};

enum class KeyOutcome { moved, escape, choose, rescan, change_drive };

struct KeyResult {
  KeyOutcome outcome = KeyOutcome::moved;
  Selection selection;
};

// One key of the selection screen: `text` is tested before `code`; Ctrl+N
// and Ctrl+P move as Down and Up do. Keys that do not end the pass leave the
// top index between 0 and the match count less the visible rows.
KeyResult apply_key(Selection current, std::wstring_view text, int code, int match_count, int visible_rows,
                    int page_size);

// True for the keys that end a pass: ESC, Return, F2, F3.
bool ends_pass(const KeyPress& key);

// Where the list shows the highlighted match once the page holds `visible_rows`
// rows (after a change of the window size).
Selection keep_in_view(Selection current, int match_count, int visible_rows);

// How the preview fills a frame's inner width: five cells of 18 where they
// fit; else as many as fit at 16 cells or more, each as wide as the width
// allows up to 18.
struct PreviewGrid {
  int per_line = 5;
  int cell = 18;
};
PreviewGrid preview_grid(int inner_width);

// The preview cell of one entry: "[name]" for a directory, exactly `cell`
// cells wide; a name cut to fit ends in "…" (inside the brackets).
std::wstring preview_cell(const platform::DirectoryEntry& entry, int cell = 18);
// The entries in lines of the grid for `width`, each line trimmed; at most
// `max_lines` lines. Directories come before files; when entries are left
// out, the last cell says how many; an empty directory says so.
std::vector<std::wstring> preview_lines(const platform::DirectoryListing& listing, int max_lines, int width);

// The message split at blanks into lines of at most `width` cells; a word
// longer than a line is cut.
std::vector<std::wstring> wrap_words(std::wstring_view text, int width);

// "D E F " from the drive roots.
std::wstring drive_letters_text(const std::vector<std::wstring>& drives);
// Where a box over the list (F2, F3) stands when the frame has room: its
// width, its first column counted from the frame's left column, its first
// row counted from the list's top row.
struct BoxPlace {
  int width = 0;
  int column = 0;
  int row = 0;
};
// The F2 box: three rows naming the drive whose index is built.
inline constexpr BoxPlace kRescanBox{36, 30, 4};
inline constexpr int kRescanBoxHeight = 3;
// The F3 box: twenty-six letters with their blanks just fit its width.
inline constexpr BoxPlace kDriveBox{53, 20, 4};

// A row of letters of the drive box: centred, exactly `width` long (the
// letters start at cell 25 - len / 2 of a box 53 wide).
std::wstring centred_letters(std::wstring_view letters_text, int width = kDriveBox.width);
// The text centred in exactly `width` cells.
std::wstring centred_in(std::wstring_view text, int width);

inline constexpr wchar_t kDrivePrompt[] = L"Enter the drive letter. _";

// A box drawn over the screen (F2, F3), in screen cells.
struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int bottom() const { return top + height - 1; }
};
// A box at most `wanted_width` wide inside the frame, with a cell of the
// frame's inside free on either side: at `preferred_offset` from the left when
// it fits there, else centred in the frame.
Box box_in_frame(const ScreenLayout& layout, int wanted_width, int preferred_offset, int top, int height);
// The box of `place`, `height` rows high, in the frame of `layout`.
Box box_in_frame(const ScreenLayout& layout, BoxPlace place, int height);
// The rows of the drive box for `width`: blank, "Available drives", the
// letters wrapped to as many rows as they need, the prompt, blank.
std::vector<std::wstring> drive_box_rows(std::wstring_view letters_text, int width);

}  // namespace zrn
