#include "platform/process.h"

#include <windows.h>
#include <shellapi.h>

namespace zrn::platform {

namespace {

// How long a program that was told to end may take to go.
constexpr DWORD kEndWait = 5000;

// One job for the whole run. Its handle is never closed by the program: the
// system closes it when the process ends, by whatever way, and the job then
// ends every program the run started, so no listing outlives its run.
HANDLE kill_on_exit_job() {
  static const HANDLE job = [] {
    HANDLE created = CreateJobObjectW(nullptr, nullptr);
    if (!created) return HANDLE{};
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
      CloseHandle(created);
      return HANDLE{};
    }
    return created;
  }();
  return job;
}

// Without a job (the system refused one) the program still runs; the run's
// private file names keep a survivor's output from being read by anyone.
void tie_to_this_process(HANDLE process) {
  if (const HANDLE job = kill_on_exit_job()) AssignProcessToJobObject(job, process);
}

// The console input, when there is one: a key typed during the wait is then
// answered at once. Wine's console also takes keys in only while a program
// waits on its input.
HANDLE console_input() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  return input && input != INVALID_HANDLE_VALUE && GetConsoleMode(input, &mode) ? input : nullptr;
}

void wait_in_slices(HANDLE process, const std::function<bool()>& while_waiting, unsigned slice_ms) {
  if (!process) return;
  if (!while_waiting) {
    WaitForSingleObject(process, INFINITE);
  } else {
    const HANDLE handles[2] = {process, console_input()};
    const DWORD count = handles[1] ? 2 : 1;
    for (;;) {
      DWORD woke = WaitForMultipleObjects(count, handles, FALSE, slice_ms);
      if (woke == WAIT_FAILED) woke = WaitForSingleObject(process, slice_ms);
      if (woke == WAIT_OBJECT_0) break;
      if (!while_waiting()) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, kEndWait);
        break;
      }
    }
  }
  CloseHandle(process);
}

std::uint64_t ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

bool run_hidden_and_wait(const std::wstring& program, const std::wstring& parameters,
                         const std::function<bool()>& while_waiting, unsigned slice_ms) {
  std::wstring command_line = L"\"" + program + L"\" " + parameters;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process = {};
  // Suspended until it belongs to the job, so that not even its first
  // moments can outlive the run.
  if (CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE,
                     CREATE_NEW_CONSOLE | CREATE_SUSPENDED | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                     &process)) {
    tie_to_this_process(process.hProcess);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    wait_in_slices(process.hProcess, while_waiting, slice_ms);
    return true;
  }
  SHELLEXECUTEINFOW shell = {};
  shell.cbSize = sizeof shell;
  shell.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  shell.lpFile = program.c_str();
  shell.lpParameters = parameters.c_str();
  shell.nShow = SW_HIDE;
  if (!ShellExecuteExW(&shell)) return false;
  if (shell.hProcess) tie_to_this_process(shell.hProcess);
  wait_in_slices(shell.hProcess, while_waiting, slice_ms);
  return true;
}

ProcessIdentity this_process() {
  FILETIME created;
  FILETIME unused[3];
  ProcessIdentity identity;
  identity.id = GetCurrentProcessId();
  if (GetProcessTimes(GetCurrentProcess(), &created, &unused[0], &unused[1], &unused[2])) {
    identity.created = ticks(created);
  }
  return identity;
}

bool process_running(const ProcessIdentity& process) {
  HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process.id);
  if (!handle) return GetLastError() != ERROR_INVALID_PARAMETER;  // no such process
  FILETIME created;
  FILETIME unused[3];
  DWORD exit_code = 0;
  bool running = true;
  if (GetProcessTimes(handle, &created, &unused[0], &unused[1], &unused[2]) && ticks(created) != process.created) {
    running = false;  // the id now belongs to another process
  } else if (GetExitCodeProcess(handle, &exit_code) && exit_code != STILL_ACTIVE) {
    running = false;
  }
  CloseHandle(handle);
  return running;
}

}  // namespace zrn::platform
