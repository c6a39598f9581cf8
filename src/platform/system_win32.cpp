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

std::wstring last_error_text() {
  const DWORD error = GetLastError();
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", length);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  return text.empty() ? L"error " + std::to_wstring(error) : text;
}
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
