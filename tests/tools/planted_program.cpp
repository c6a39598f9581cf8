// Stands in for a program that someone planted under a system program's name
// (CMD.EXE in a downloaded folder): whatever its arguments, it leaves the file
// PLANTED.TXT beside itself, so that a test sees whether it ever ran.
#include <windows.h>

#include <string>

int main() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH + 1);
  std::wstring path(buffer, length > MAX_PATH ? MAX_PATH : length);
  path.erase(path.find_last_of(L'\\') + 1);
  path += L"PLANTED.TXT";
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return 0;
}
