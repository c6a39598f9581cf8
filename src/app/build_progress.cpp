#include "app/build_progress.h"

#include "app/identity.h"
#include "console/console.h"
#include "console/screen_layout.h"
#include "console/selection_screen.h"
#include "platform/system.h"

namespace zrn {

namespace {

// Keys that may still be on their way when the build ends are dropped too,
// at most this many waits' worth.
constexpr int kLastKeyWaits = 20;

}  // namespace

void BuildProgress::show_line(const std::wstring& text) const {
  if (page_) {
    page_->show_status(text);
  } else {
    Console::show_status(text);
  }
}

void BuildProgress::hide_line() const {
  if (page_) {
    page_->hide_status();
  } else {
    Console::hide_status();
  }
}

std::wstring build_progress_line(const std::wstring& drive_root, std::uint64_t folders) {
  return L"Indexing " + drive_root + L" - " + with_thousands(static_cast<std::int64_t>(folders)) +
         L" folders listed - ESC cancels";
}

void BuildProgress::started(const std::wstring& drive_root) {
  Console::catch_interrupts(true);
  shown_ = false;
  stopped_ = false;
  listing(drive_root, 0);
}

void BuildProgress::listing(const std::wstring& drive_root, std::uint64_t folders) {
  if (shown_ && folders == last_) return;
  shown_ = true;
  last_ = folders;
  Console::set_title(std::wstring(kDisplayTitle) + L" - indexing " + drive_root + L" - " +
                     with_thousands(static_cast<std::int64_t>(folders)) + L" folders");
  show_line(build_progress_line(drive_root, folders));
}

bool BuildProgress::cancelled() {
  // Every key typed during the build is taken here, so that none of them
  // later chooses or moves anything on a page the user has not seen yet.
  while (!stopped_ && !Console::input_lost()) {
    const KeyPress key = Console::read_key();
    if (key.empty()) break;
    // Ctrl+C arrives as a key when the console does not process it itself.
    if (is_escape(key.text, key.code) || key.text == L"\x03") stopped_ = true;
  }
  return stopped_ || Console::interrupted();
}

void BuildProgress::finished() {
  // Keys are dropped before the line goes: once it has gone, keys count again.
  if (!Console::input_lost()) {
    Console::discard_keys();
    for (int i = 0; i < kLastKeyWaits && Console::wait_for_key(0); ++i) Console::discard_keys();
  }
  if (shown_) {
    Console::restore_title();
    hide_line();
  }
  shown_ = false;
  Console::catch_interrupts(false);
}

void BuildProgress::listing_stopped(const std::wstring& drive_root) {
  notes_.push_back(L"The listing of " + drive_root +
                   L" was stopped: it was no listing of a real drive (a folder link that loops?)."
                   L" The previous index is kept.");
}

void BuildProgress::install_failed(const std::wstring& raw_path, const std::wstring& index_path) {
  platform::show_message(std::wstring(kDisplayTitle),
                         L"There was a problem copying the index file from " + raw_path + L" to " + index_path);
}

}  // namespace zrn
