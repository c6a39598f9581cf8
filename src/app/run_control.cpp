#include "app/run_control.h"

#include "index/working_files.h"

namespace zrn {

namespace {

// The one global of the run: the system's handler takes no argument, so it
// finds the run's record here. Set once, never taken back.
std::atomic<RunControl*> g_watched{nullptr};

bool on_control_event(platform::ControlEvent event) {
  RunControl* const control = g_watched.load();
  return control != nullptr && control->on_event(event);
}

}  // namespace

void RunControl::watch(platform::ConsoleDevice& device) {
  g_watched = this;
  device.install_control_handler(on_control_event);
}

bool RunControl::on_event(platform::ControlEvent event) {
  if (event == platform::ControlEvent::interrupt && catching_) {
    interrupted_ = true;
    return true;
  }
  // The process ends after this: the user gets the console back first, and
  // the run's working files go with it.
  console_.give_back();
  shutdown();
  return false;
}

void RunControl::shutdown() {
  // The control thread and the main thread may both get here: only the
  // first caller does the work.
  if (done_.exchange(true)) return;
  // Files, find handles and libraries are owned by objects that close them;
  // what is left is console output still on its way, and the working files
  // of a run cut short by the closing window.
  delete_working_files();
  console_.close();
}

void RunControl::catch_interrupts(bool on) {
  interrupted_ = false;
  catching_ = on;
}

void give_watched_console_back() {
  if (RunControl* const control = g_watched.load()) control->console().give_back();
}

}  // namespace zrn
