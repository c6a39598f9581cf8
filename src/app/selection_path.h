#pragma once

namespace zrn {

// Two or more matches: the window checks, the frame, and the selection loop.
void run_selection_path();

}  // namespace zrn
