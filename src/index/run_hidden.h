#pragma once
#include <functional>
#include <string>

namespace zrn {

// Runs `"program" parameters` in a new hidden console and waits for its end,
// however long it takes, calling `while_waiting` a few times a second until
// then. The program never outlives the run. True when it could be started.
bool run_hidden(const std::wstring& program, const std::wstring& parameters,
                const std::function<void()>& while_waiting = {});

}  // namespace zrn
