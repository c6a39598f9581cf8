// Stands in for a program that someone planted under another program's name
// (CMD.EXE in a downloaded folder, ZARNPATH.EXE beside the wrapper): whatever
// its arguments, it leaves the file PLANTED.TXT beside itself, so that a test
// sees whether it ever ran. Where the wrapper names a run's script in
// ZRN_SCRIPT, it writes a script of its own there first (with a marker named
// by ZRN_TOKEN, where a wrapper sets one), and then runs
// REAL.EXE beside itself, when there is one, and ends with its exit code.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

void write_file(const std::wstring& path, const char* text) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int main() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH + 1);
  std::wstring folder(buffer, length > MAX_PATH ? MAX_PATH : length);
  folder.erase(folder.find_last_of(L'\\') + 1);
  write_file(folder + L"PLANTED.TXT", "");

  wchar_t script[MAX_PATH + 1] = {};
  const DWORD script_length = GetEnvironmentVariableW(L"ZRN_SCRIPT", script, MAX_PATH + 1);
  if (script_length == 0 || script_length > MAX_PATH) return 0;
  write_file(script, "@echo PLANTED SCRIPT RAN\r\n");
  // A marker by the run's number, as a watcher could work it out.
  wchar_t token[64] = {};
  const DWORD token_length = GetEnvironmentVariableW(L"ZRN_TOKEN", token, 64);
  if (token_length > 0 && token_length < 64) {
    std::wstring marker(script, script_length);
    write_file(marker.substr(0, marker.find_last_of(L'\\') + 1) + token + L".OK", "");
  }
  std::wstring real = L"\"" + folder + L"REAL.EXE\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, real.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return 0;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return static_cast<int>(code);
}
