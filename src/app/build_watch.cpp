#include "app/build_watch.h"

#include "app/identity.h"
#include "console/screen_layout.h"
#include "platform/system.h"

namespace zrn {

namespace {

// Keys that may still be on their way when the build ends are dropped too,
// at most this many waits' worth.
constexpr int kLastKeyWaits = 20;
// Ctrl+C as a key: what arrives when the console does not process it itself.
constexpr wchar_t kControlC = 3;

}  // namespace

void BuildWatch::started(const std::wstring& drive_root) {
  control_.catch_interrupts(true);
  stopped_ = false;
  progress_.started(drive_root);
}

void BuildWatch::listing(const std::wstring& drive_root, std::uint64_t folders) {
  progress_.listing(drive_root, folders);
}

bool BuildWatch::cancelled() {
  Console& console = control_.console();
  // Every key typed during the build is taken here, so that none of them
  // later chooses or moves anything on a page the user has not seen yet.
  while (!stopped_ && !console.input_lost()) {
    const KeyPress key = console.read_key();
    if (key.empty()) break;
    if (is_escape(key.text, key.code) || key.text == std::wstring(1, kControlC)) stopped_ = true;
  }
  return stopped_ || control_.interrupted();
}

void BuildWatch::drop_last_keys() {
  Console& console = control_.console();
  if (console.input_lost()) return;
  console.discard_keys();
  for (int i = 0; i < kLastKeyWaits && console.wait_for_key(0); ++i) console.discard_keys();
}

void BuildWatch::finished() {
  // Keys are dropped before the line goes: once it has gone, keys count again.
  drop_last_keys();
  progress_.finished();
  control_.catch_interrupts(false);
}

void BuildWatch::listing_stopped(const std::wstring& drive_root, const std::wstring& reason) {
  notes_.push_back(L"The listing of " + drive_root + L" was stopped: " + reason + L" The previous index is kept.");
}

void BuildWatch::install_failed(const std::wstring& raw_path, const std::wstring& index_path,
                                const std::wstring& reason) {
  platform::show_message(std::wstring(kDisplayTitle), L"There was a problem copying the index file from " + raw_path +
                                                          L" to " + index_path + L": " + reason);
}

}  // namespace zrn
