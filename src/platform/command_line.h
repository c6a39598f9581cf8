#pragma once
#include <string>

namespace zrn::platform {

std::wstring process_command_line();  // GetCommandLineW

}  // namespace zrn::platform
