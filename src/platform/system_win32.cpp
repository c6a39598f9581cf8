#include "platform/system.h"

#include <windows.h>
#include <objbase.h>
#include <timeapi.h>

#include <clocale>
#include <cstdlib>
#include <exception>

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
namespace {

void (*g_on_failure)() = nullptr;

LONG WINAPI on_unhandled_exception(EXCEPTION_POINTERS*) {
  if (g_on_failure) g_on_failure();
  return EXCEPTION_CONTINUE_SEARCH;
}

[[noreturn]] void on_terminate() {
  if (g_on_failure) g_on_failure();
  std::abort();
}

}  // namespace

void on_internal_failure(void (*routine)()) {
  g_on_failure = routine;
  std::set_terminate(on_terminate);
  SetUnhandledExceptionFilter(on_unhandled_exception);
}

void show_message(const std::wstring& caption, const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

}  // namespace zrn::platform
