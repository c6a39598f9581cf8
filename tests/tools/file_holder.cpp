// Holds a file open for reading and writing with a given share mode until
// its standard input ends, so that a test can see how the program treats a
// file that another process has open.
//
// Usage: file_holder.exe FILE SHARE-MODE
// Prints "held" once the file is open; exit code 1 when it cannot be opened.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "handle.h"

int main() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count != 3) return 2;
  const auto share_mode = static_cast<DWORD>(std::wcstoul(arguments[2], nullptr, 10));
  Handle file(CreateFileW(arguments[1], GENERIC_READ | GENERIC_WRITE, share_mode, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  LocalFree(arguments);
  if (!file.valid()) return 1;

  DWORD done = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "held\n", 5, &done, nullptr);
  char buffer[16];
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &done, nullptr) && done > 0) {
  }
  return 0;
}
