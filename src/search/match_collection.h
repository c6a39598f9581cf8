#pragma once
#include <string>

#include "index/index_builder.h"

namespace zrn {

// Fills the match list: the current directory's sub-directories first, the
// drive's index when none of them matches; says what became of that index.
IndexOutcome collect_matches();
// Appends the current directory's sub-directories whose name holds the
// search text.
void collect_from_current_directory();
// Empties the match list and fills it from the drive's index, built first
// when it is absent or too old. A cancelled build, or a drive that is not
// there, leaves the list as it was.
IndexOutcome collect_from_index(const std::wstring& drive_root);
// The same from the index as it stands, without looking at its age.
void search_index(const std::wstring& drive_root);

// The parameters for cmd.exe that list the bare names of the current
// directory's sub-directories into its standard output.
std::wstring current_directory_listing_parameters();

}  // namespace zrn
