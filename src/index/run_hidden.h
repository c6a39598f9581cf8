#pragma once
#include <string>

namespace zrn {

// Runs `"program" parameters` in a new hidden console and waits for its end,
// however long it takes. True when the program could be started.
bool run_hidden(const std::wstring& program, const std::wstring& parameters);

}  // namespace zrn
