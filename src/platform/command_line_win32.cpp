#include "platform/command_line.h"

#include <windows.h>

namespace zrn::platform {

std::wstring process_command_line() {
  const wchar_t* line = GetCommandLineW();
  return line ? std::wstring(line) : std::wstring();
}

}  // namespace zrn::platform
