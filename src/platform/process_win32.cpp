#include "platform/process.h"

#include <windows.h>
#include <shellapi.h>

namespace zrn::platform {

namespace {

void wait_and_close(HANDLE process) {
  if (!process) return;
  WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
}

}  // namespace

bool run_hidden_and_wait(const std::wstring& program, const std::wstring& parameters) {
  std::wstring command_line = L"\"" + program + L"\" " + parameters;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process = {};
  if (CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE,
                     CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    wait_and_close(process.hProcess);
    return true;
  }
  SHELLEXECUTEINFOW shell = {};
  shell.cbSize = sizeof shell;
  shell.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  shell.lpFile = program.c_str();
  shell.lpParameters = parameters.c_str();
  shell.nShow = SW_HIDE;
  if (!ShellExecuteExW(&shell)) return false;
  wait_and_close(shell.hProcess);
  return true;
}

}  // namespace zrn::platform
