#pragma once
// How the run meets the console's control events (Ctrl+C, Ctrl+Break, a
// closed window) and how it ends, whichever thread comes first: the main
// thread at the end of the run, or the thread on which Windows delivers the
// event.
#include <atomic>

#include "console/console.h"
#include "platform/console_device.h"

namespace zrn {

class RunControl {
 public:
  explicit RunControl(Console& console) : console_(console) {}
  RunControl(const RunControl&) = delete;
  RunControl& operator=(const RunControl&) = delete;

  Console& console() { return console_; }

  // Has the device deliver control events to this record. The run does it
  // once, after the console's first open has noted what to give back; the
  // record must then live as long as the process.
  void watch(platform::ConsoleDevice& device);
  // What the handler does with an event: an interrupt while interrupts are
  // caught is noted and taken (true); anything else gives the console back
  // and shuts the run down, and the system then ends the process (false).
  bool on_event(platform::ControlEvent event);
  // Deletes the run's working files and gives the console back; only the
  // first call does the work.
  void shutdown();
  bool shut_down() const { return done_; }

  // While on, Ctrl+C and Ctrl+Break no longer end the program: they are
  // noted, for the build under way to stop itself.
  void catch_interrupts(bool on);
  bool interrupted() const { return interrupted_; }

 private:
  Console& console_;
  std::atomic<bool> catching_{false};
  std::atomic<bool> interrupted_{false};
  std::atomic<bool> done_{false};
};

// Gives the watched run's console back; for a failure inside the program,
// whose routine takes no argument.
void give_watched_console_back();

}  // namespace zrn
