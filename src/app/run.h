#pragma once

namespace zrn {

// One run from start-up to the end. The exit code is 0, or, for a run that
// made its run folder's change script whole, the code that tells the wrapper.
int run_program();

}  // namespace zrn
