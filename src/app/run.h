#pragma once

namespace zrn {

// One run from start-up to the end; the exit code is always 0.
int run_program();

}  // namespace zrn
