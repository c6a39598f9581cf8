#include "platform/process.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/files.h"
#include "platform/handle_win32.h"

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

// Waits for the process and closes it; `keep_waiting` saying no ends it.
HiddenRun wait_in_slices(HANDLE process, const std::function<bool()>& keep_waiting, unsigned slice_ms) {
  HiddenRun run;
  run.started = true;
  if (!process) return run;
  if (!keep_waiting) {
    WaitForSingleObject(process, INFINITE);
  } else {
    const HANDLE handles[2] = {process, console_input()};
    const DWORD count = handles[1] ? 2 : 1;
    for (;;) {
      DWORD woke = WaitForMultipleObjects(count, handles, FALSE, slice_ms);
      if (woke == WAIT_FAILED) woke = WaitForSingleObject(process, slice_ms);
      if (woke == WAIT_OBJECT_0) break;
      if (!keep_waiting()) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, kEndWait);
        run.stopped = true;
        break;
      }
    }
  }
  DWORD exit_code = 0;
  if (GetExitCodeProcess(process, &exit_code)) run.exit_code = exit_code;
  CloseHandle(process);
  return run;
}

// The output file, made anew (never an existing file, nor through a link
// planted under its name), as a handle the child inherits. Shared so that
// the run can read what arrives while the child writes.
HANDLE create_inheritable_output(const std::wstring& path) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// CreateProcessW with the output file as the child's standard output, and
// only that handle inherited.
bool create_hidden(const HiddenCommand& command, HANDLE output, PROCESS_INFORMATION& process) {
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<char> storage(size);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
  HANDLE inherited = output;
  const bool listed = size > 0 && InitializeProcThreadAttributeList(attributes, 1, 0, &size) &&
                      UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &inherited,
                                                sizeof inherited, nullptr, nullptr);
  STARTUPINFOEXW startup = {};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.StartupInfo.wShowWindow = SW_HIDE;
  startup.StartupInfo.hStdOutput = output;
  startup.lpAttributeList = listed ? attributes : nullptr;
  std::wstring command_line = L"\"" + command.program + L"\" " + command.parameters;
  // Named by its full path, the program is not searched for (a bare name is
  // looked for in our folder and the current directory first). Suspended
  // until it belongs to the job, so that not even its first moments can
  // outlive the run.
  const DWORD flags =
      CREATE_NEW_CONSOLE | CREATE_SUSPENDED | NORMAL_PRIORITY_CLASS | (listed ? EXTENDED_STARTUPINFO_PRESENT : 0);
  const bool created = CreateProcessW(command.program.c_str(), command_line.data(), nullptr, nullptr, TRUE, flags,
                                      nullptr, nullptr, &startup.StartupInfo, &process) != 0;
  if (listed) DeleteProcThreadAttributeList(attributes);
  return created;
}

std::uint64_t ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

std::wstring system_command_interpreter() {
  const std::wstring folder = system_directory();
  return folder.empty() ? folder : folder + L"cmd.exe";
}

HiddenRun run_hidden_and_wait(const HiddenCommand& command, const std::function<bool()>& keep_waiting,
                              unsigned slice_ms) {
  // The user's DIRCMD would change what dir writes (recursion, case, pauses).
  // The program itself never reads it, and ShellExecuteExW offers no
  // environment of its own, so it goes from this process's environment.
  SetEnvironmentVariableW(L"DIRCMD", nullptr);
  // Without its own new output file nothing starts: the fallback's redirect
  // would write through whatever lies at that name.
  const HANDLE output = create_inheritable_output(command.output);
  if (output == INVALID_HANDLE_VALUE) return {};
  PROCESS_INFORMATION process = {};
  const bool created = create_hidden(command, output, process);
  CloseHandle(output);
  if (created) {
    tie_to_this_process(process.hProcess);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    return wait_in_slices(process.hProcess, keep_waiting, slice_ms);
  }
  SHELLEXECUTEINFOW shell = {};
  shell.cbSize = sizeof shell;
  shell.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  shell.lpFile = command.program.c_str();
  shell.lpParameters = command.fallback_parameters.c_str();
  shell.nShow = SW_HIDE;
  if (!ShellExecuteExW(&shell)) return {};
  if (shell.hProcess) tie_to_this_process(shell.hProcess);
  return wait_in_slices(shell.hProcess, keep_waiting, slice_ms);
}

void set_inherited_variable(const std::wstring& name, const std::wstring& value) {
  SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
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
  const Handle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process.id));
  if (!handle) return GetLastError() != ERROR_INVALID_PARAMETER;  // no such process
  FILETIME created;
  FILETIME unused[3];
  DWORD exit_code = 0;
  bool running = true;
  if (GetProcessTimes(handle.get(), &created, &unused[0], &unused[1], &unused[2]) &&
      ticks(created) != process.created) {
    running = false;  // the id now belongs to another process
  } else if (GetExitCodeProcess(handle.get(), &exit_code) && exit_code != STILL_ACTIVE) {
    running = false;
  }
  return running;
}

}  // namespace zrn::platform
