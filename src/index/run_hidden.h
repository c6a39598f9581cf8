#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/process.h"

namespace zrn {

// Runs the system's own cmd.exe by its full path, with `/D /V:OFF` (no
// AutoRun command, no delayed expansion) before `parameters`, in a new hidden
// console, its standard output going to the new file `output`. Waits for its
// end however long it takes, asking `keep_waiting` a few times a second and
// whenever a key is typed until then; a false answer ends it. It never outlives the run.
platform::HiddenRun run_hidden(const std::wstring& parameters, const std::wstring& output,
                               const std::function<bool()>& keep_waiting = {});

}  // namespace zrn
