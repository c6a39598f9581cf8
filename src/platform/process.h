#pragma once
// Programs the run starts, and the identity of running processes.
#include <cstdint>
#include <functional>
#include <string>

namespace zrn::platform {

// The system's own command interpreter: its full path in the system folder,
// empty when the system does not say where that is.
std::wstring system_command_interpreter();
// Sets the variable in this process's environment, which the programs it
// starts inherit; an empty value removes it.
void set_inherited_variable(const std::wstring& name, const std::wstring& value);

// A program to run hidden, its standard output going to a file.
struct HiddenCommand {
  std::wstring program;     // a full path
  std::wstring parameters;  // the text after the quoted program
  std::wstring output;      // a new file made for the standard output
  // For ShellExecuteExW, which cannot hand over a handle: parameters that
  // write the output themselves.
  std::wstring fallback_parameters;
};

struct HiddenRun {
  bool started = false;
  bool stopped = false;         // ended because `keep_waiting` said no
  std::uint32_t exit_code = 0;  // 0 when the system would not tell
  // Exit codes from 0xC0000000 up are the system's error statuses: the
  // program ended by a crash (a stack overflow, for one), not by its own end.
  bool crashed() const { return exit_code >= 0xC0000000u; }
};

// Starts the command in a new hidden console, inheriting only its output
// handle and not the user's DIRCMD, and waits for it without a time limit,
// asking `keep_waiting` every `slice_ms` milliseconds, and at once when
// console input arrives, until it ends; a false answer ends the program. The program is tied to this process: when this
// process ends, however it ends, the program ends too. Nothing starts when
// the output file cannot be made anew. Falls back to ShellExecuteExW when
// CreateProcessW refuses.
HiddenRun run_hidden_and_wait(const HiddenCommand& command, const std::function<bool()>& keep_waiting = {},
                              unsigned slice_ms = 250);

// A process as the system knows it: its id, and when it was created (so that
// an id the system has since given to another process does not count).
struct ProcessIdentity {
  std::uint32_t id = 0;
  std::uint64_t created = 0;  // 100 ns ticks since 1601
  bool operator==(const ProcessIdentity&) const = default;
};

ProcessIdentity this_process();
// False only when the process has certainly ended; a process the system does
// not let us look at counts as running.
bool process_running(const ProcessIdentity& process);

}  // namespace zrn::platform
