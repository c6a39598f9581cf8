#pragma once
// Programs the run starts, and the identity of running processes.
#include <cstdint>
#include <functional>
#include <string>

namespace zrn::platform {

// Starts `"program" parameters` in a new hidden console, inheriting no
// handles, and waits for it without a time limit, calling `while_waiting`
// every `slice_ms` milliseconds, and at once when console input arrives, until
// it ends; when `while_waiting` returns false the program is ended there and
// then. The program is tied to this
// process: when this process ends, however it ends, the program ends too.
// Falls back to ShellExecuteExW when CreateProcessW refuses. True when a
// start succeeded.
bool run_hidden_and_wait(const std::wstring& program, const std::wstring& parameters,
                         const std::function<bool()>& while_waiting = {}, unsigned slice_ms = 250);

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
