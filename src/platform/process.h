#pragma once
#include <string>

namespace zrn::platform {

// Starts `"program" parameters` in a new hidden console, inheriting no
// handles, and waits for it without a time limit. Falls back to
// ShellExecuteExW when CreateProcessW refuses. True when a start succeeded.
bool run_hidden_and_wait(const std::wstring& program, const std::wstring& parameters);

}  // namespace zrn::platform
