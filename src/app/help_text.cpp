#include "app/help_text.h"

#include "app/identity.h"
#include "console/console.h"

namespace zrn {

std::vector<std::wstring> help_lines(std::wstring_view display_title) {
  return {
      L"",
      std::wstring(display_title) + L" Help",
      L"",
      L"ZRN [drive:] directory [switches]",
      L"",
      L"\t/?         Help",
      L"\t/info      Info",
      L"\t/Q0../Q9   Change To QuickMap x, see ZRN.INI To Define these QuickDIRS",
      L"\t/QD        Quick Change To My Documents",
      L"\t/QL        Quick Change To Downloads",
      L"\t/QV        Quick Change To My Videos",
      L"\t/QM        Quick Change To My Music",
      L"\t/QP        Quick Change To My Pictures",
      L"\t/QX        Quick Change To Program Files",
      L"",
      L"",
  };
}

void print_help(Console& console) {
  for (const auto& line : help_lines(kDisplayTitle)) console.print_line(line);
}

}  // namespace zrn
