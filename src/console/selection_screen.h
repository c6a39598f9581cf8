#pragma once
// One pass of the selection screen: the count line, the list, the counter,
// the preview, and the keys until one ends the pass.
#include <string>
#include <vector>

#include "app/program_state.h"
#include "console/screen_layout.h"

namespace zrn {

// Ends a pass after F2 or F3: the match list was rebuilt, show it anew.
inline constexpr wchar_t kRedisplayMarker[] = L"-";

// The chosen path (Return), empty text (ESC, or an empty match list), or the
// redisplay marker.
std::wstring run_selection_screen(const std::vector<std::wstring>& matches, int left, int list_top, int page_size);

// The drawing steps of a pass, usable on their own.
void draw_count_line(const ScreenLayout& layout, std::int64_t count, std::wstring_view search_text);
// Draws the visible rows; returns the highlighted path.
std::wstring draw_list_rows(const ScreenLayout& layout, const std::vector<std::wstring>& matches,
                            Selection selection, int visible_rows);
void blank_rows_below_list(const ScreenLayout& layout, int visible_rows);
void draw_preview(const ScreenLayout& layout, const std::vector<platform::DirectoryEntry>& entries);

}  // namespace zrn
