#include "platform/system.h"

#include <windows.h>
#include <objbase.h>
#include <timeapi.h>

#include <clocale>

namespace zrn::platform {

void set_up_process() {
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  CoInitialize(nullptr);
}

void pause(unsigned milliseconds) {
  static const bool resolution_raised = (timeBeginPeriod(1), true);
  (void)resolution_raised;
  Sleep(milliseconds);
}

unsigned console_output_code_page() { return GetConsoleOutputCP(); }

void show_message(const std::wstring& caption, const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

}  // namespace zrn::platform
