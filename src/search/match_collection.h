#pragma once

namespace zrn {

// Fills the match list: the current directory's sub-directories first, the
// drive's index when none of them matches.
void collect_matches();

}  // namespace zrn
