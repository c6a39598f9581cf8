#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace zrn {

struct HiddenResult {
  bool started = false;
  bool stopped = false;  // ended early because `keep_waiting` said no
  bool crashed = false;  // ended by an exception (its exit code says so)
};

// Runs the system's own cmd.exe by its full path, with `/D /V:OFF` (no
// AutoRun command, no delayed expansion) before `parameters`, in a new hidden
// console, its standard output going to the new file `output`. Waits for its
// end however long it takes, asking `keep_waiting` a few times a second and
// whenever a key is typed until then; a false answer ends it. It never outlives the run.
HiddenResult run_hidden(const std::wstring& parameters, const std::wstring& output,
                        const std::function<bool()>& keep_waiting = {});

}  // namespace zrn
