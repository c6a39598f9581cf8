#pragma once
// What the process was started with: its command line and its environment.
#include <optional>
#include <string>

namespace zrn::platform {

std::wstring process_command_line();  // GetCommandLineW
// An environment variable of this process; nothing when it is not set.
std::optional<std::wstring> environment_variable(const std::wstring& name);

}  // namespace zrn::platform
