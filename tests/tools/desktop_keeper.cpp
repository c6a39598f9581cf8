// Keeps Wine's desktop open while a test group runs.
//
// Wine starts "explorer.exe /desktop" for the first program that needs a
// desktop and ends it about a second after the last such program exits; the
// next program then starts it again, and explorer inherits that program's
// Unix standard handles: a test reading the program's output through a pipe
// would wait for explorer. Started once with its handles on the null device,
// this program holds the desktop, so explorer stays up with the same handles.
//
// Usage: desktop_keeper.exe READY-FILE
// Creates READY-FILE once the desktop is up, then holds it until its standard
// input ends: a pipe from the test harness, which ends with the harness,
// however the harness ends.
#include <windows.h>
#include <shellapi.h>

#include "handle.h"

int main() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count != 2) return 2;
  // Asking for the desktop window makes Wine start explorer and wait for it.
  if (GetDesktopWindow() == nullptr) return 1;
  {
    Handle ready(CreateFileW(arguments[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!ready.valid()) return 1;
  }
  LocalFree(arguments);
  char buffer[16];
  DWORD done = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &done, nullptr) && done > 0) {
  }
  return 0;
}
