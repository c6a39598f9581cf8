#pragma once
#include <string>

namespace zrn {

// Fills the match list: the current directory's sub-directories first, the
// drive's index when none of them matches.
void collect_matches();
// Appends the current directory's sub-directories whose name holds the
// search text.
void collect_from_current_directory();
// Empties the match list and fills it from the drive's index.
void collect_from_index(const std::wstring& drive_root);

// The parameters for cmd.exe that list the bare names of the current
// directory's sub-directories into its standard output.
std::wstring current_directory_listing_parameters();

}  // namespace zrn
