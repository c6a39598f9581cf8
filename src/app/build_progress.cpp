#include "app/build_progress.h"

#include "app/identity.h"
#include "console/screen_layout.h"
#include "console/selection_screen.h"

namespace zrn {

void BuildProgress::show_line(const std::wstring& text) const {
  if (page_) {
    page_->show_status(text);
  } else {
    console_.show_status(text);
  }
}

void BuildProgress::hide_line() const {
  if (page_) {
    page_->hide_status();
  } else {
    console_.hide_status();
  }
}

std::wstring build_progress_line(const std::wstring& drive_root, std::uint64_t folders) {
  return L"Indexing " + drive_root + L" - " + with_thousands(static_cast<std::int64_t>(folders)) +
         L" folders listed - ESC cancels";
}

void BuildProgress::started(const std::wstring& drive_root) {
  shown_ = false;
  listing(drive_root, 0);
}

void BuildProgress::listing(const std::wstring& drive_root, std::uint64_t folders) {
  if (shown_ && folders == last_) return;
  shown_ = true;
  last_ = folders;
  console_.set_title(std::wstring(kDisplayTitle) + L" - indexing " + drive_root + L" - " +
                     with_thousands(static_cast<std::int64_t>(folders)) + L" folders");
  show_line(build_progress_line(drive_root, folders));
}

void BuildProgress::finished() {
  if (shown_) {
    console_.restore_title();
    hide_line();
  }
  shown_ = false;
}

}  // namespace zrn
