#pragma once
#include <string>

namespace zrn {

// Fills the match list: the current directory's sub-directories first, the
// drive's index when none of them matches.
void collect_matches();
// Empties the match list and fills it from the drive's index.
void collect_from_index(const std::wstring& drive_root);

}  // namespace zrn
