#pragma once
// What the user sees and may do while an index is built: the progress in the
// window title and on a line of its own, ESC or Ctrl+C to stop the build,
// and no other key taken.
#include <cstdint>
#include <string>
#include <vector>

#include "index/index_builder.h"

namespace zrn {

class SelectionPage;

// "Indexing D:\ - 1,234 folders listed - ESC cancels"
std::wstring build_progress_line(const std::wstring& drive_root, std::uint64_t folders);

class BuildProgress final : public IndexProgress {
 public:
  // A stopped listing is told by a line added to `notes`, printed as the run
  // ends; a failed install by a message box, at once. With a page, the
  // progress line takes the page's legend row; without one it stands on the
  // console itself, so that output sent to a file stays as it is.
  explicit BuildProgress(std::vector<std::wstring>& notes, const SelectionPage* page = nullptr)
      : notes_(notes), page_(page) {}
  void started(const std::wstring& drive_root) override;
  void listing(const std::wstring& drive_root, std::uint64_t folders) override;
  bool cancelled() override;
  void finished() override;
  void listing_stopped(const std::wstring& drive_root) override;
  void install_failed(const std::wstring& raw_path, const std::wstring& index_path) override;

 private:
  void show_line(const std::wstring& text) const;
  void hide_line() const;

  std::vector<std::wstring>& notes_;
  const SelectionPage* page_;
  bool shown_ = false;
  bool stopped_ = false;
  std::uint64_t last_ = 0;
};

}  // namespace zrn
