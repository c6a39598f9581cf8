#pragma once
#include <functional>
#include <string>

namespace zrn {

// Runs `"program" parameters` in a new hidden console and waits for its end,
// however long it takes, calling `while_waiting` a few times a second and
// whenever a key is typed, until then; `while_waiting` returning false ends
// the program at once. The program never outlives the run. True when it could
// be started.
bool run_hidden(const std::wstring& program, const std::wstring& parameters,
                const std::function<bool()>& while_waiting = {});

}  // namespace zrn
