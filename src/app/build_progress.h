#pragma once
// What the user sees and may do while an index is built: the progress in the
// window title and on a line of its own, ESC or Ctrl+C to stop the build,
// and no other key taken.
#include <cstdint>
#include <string>
#include <vector>

#include "index/index_builder.h"

namespace zrn {

// "Indexing D:\ - 1,234 folders listed - ESC cancels"
std::wstring build_progress_line(const std::wstring& drive_root, std::uint64_t folders);

class BuildProgress final : public IndexProgress {
 public:
  // A stopped listing is told by a line added to `notes`, printed as the run
  // ends; a failed install by a message box, at once.
  explicit BuildProgress(std::vector<std::wstring>& notes) : notes_(notes) {}
  void started(const std::wstring& drive_root) override;
  void listing(const std::wstring& drive_root, std::uint64_t folders) override;
  bool cancelled() override;
  void finished() override;
  void listing_stopped(const std::wstring& drive_root) override;
  void install_failed(const std::wstring& raw_path, const std::wstring& index_path) override;

 private:
  std::vector<std::wstring>& notes_;
  bool shown_ = false;
  bool stopped_ = false;
  std::uint64_t last_ = 0;
};

}  // namespace zrn
