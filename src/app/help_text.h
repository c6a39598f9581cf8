#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"

namespace zrn {

// The sixteen lines that /? prints.
std::vector<std::wstring> help_lines(std::wstring_view display_title);
void print_help(Console& console);

}  // namespace zrn
