#pragma once

namespace zrn {

// One run from start-up to the end; the exit code is always 0.
int run_program();
// Closes what the run still holds; runs once, also when the console closes.
void shutdown();

}  // namespace zrn
