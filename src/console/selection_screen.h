#pragma once
// One pass of the selection screen: the count line, the list, the counter,
// the preview, and the keys until one ends the pass.
#include <span>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "console/screen_layout.h"

namespace zrn {

// Ends a pass after F2 or F3: the match list was rebuilt, show it anew.
inline constexpr wchar_t kRedisplayMarker[] = L"-";

// The chosen path (Return), empty text (ESC, or an empty match list), or the
// redisplay marker. The layout follows the list on show: the matches, or
// those that the typed text narrows them to.
// Return on a match that `exists` denies keeps the page and says so.
using DirectoryExists = bool (*)(const std::wstring& path);
std::wstring run_selection_screen(const std::vector<std::wstring>& matches,
                                  DirectoryExists exists = platform::is_directory);

// The drawing steps of a pass, usable on their own. A negative `total` is a
// list that is not narrowed.
void draw_count_line(const ScreenLayout& layout, std::int64_t count, std::wstring_view search_text,
                     std::int64_t total = -1);
// Draws the visible rows of the matches on show (indices into `matches`);
// returns the highlighted path.
std::wstring draw_list_rows(const ScreenLayout& layout, const std::vector<std::wstring>& matches,
                            std::span<const std::size_t> shown, Selection selection, int visible_rows);
void blank_rows_below_list(const ScreenLayout& layout, int visible_rows);
void draw_preview(const ScreenLayout& layout, const platform::DirectoryListing& listing);

}  // namespace zrn
