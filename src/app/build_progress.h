#pragma once
// What the user sees while an index is built: the progress in the window
// title and on a line of its own. It only shows; what a key or a failure
// means is the build watch's to decide (`build_watch.h`).
#include <cstdint>
#include <string>

#include "console/console.h"

namespace zrn {

class SelectionPage;

// "Indexing D:\ - 1,234 folders listed - ESC cancels"
std::wstring build_progress_line(const std::wstring& drive_root, std::uint64_t folders);

class BuildProgress {
 public:
  // With a page, the progress line takes the page's legend row; without one
  // it stands on the console itself, so that output sent to a file stays as
  // it is.
  explicit BuildProgress(Console& console, const SelectionPage* page = nullptr) : console_(console), page_(page) {}
  void started(const std::wstring& drive_root);
  void listing(const std::wstring& drive_root, std::uint64_t folders);
  void finished();

 private:
  void show_line(const std::wstring& text) const;
  void hide_line() const;

  Console& console_;
  const SelectionPage* page_;
  bool shown_ = false;
  std::uint64_t last_ = 0;
};

}  // namespace zrn
