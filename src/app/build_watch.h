#pragma once
// What the run does while an index is built: the progress shown, ESC or
// Ctrl+C stop the build and no other key is taken, a stopped listing is told
// by a note once the console is the user's again, and a failed install by a
// message box at once, while the raw listing can still be copied by hand.
#include <string>
#include <vector>

#include "app/build_progress.h"
#include "app/run_control.h"
#include "index/index_builder.h"

namespace zrn {

class BuildWatch final : public IndexProgress {
 public:
  // Notes go to `notes`, printed as the run ends; a page, when there is one,
  // shows the progress on its legend row.
  BuildWatch(RunControl& control, std::vector<std::wstring>& notes, const SelectionPage* page = nullptr)
      : control_(control), notes_(notes), progress_(control.console(), page) {}
  void started(const std::wstring& drive_root) override;
  void listing(const std::wstring& drive_root, std::uint64_t folders) override;
  bool cancelled() override;
  void finished() override;
  void listing_stopped(const std::wstring& drive_root, const std::wstring& reason) override;
  void install_failed(const std::wstring& raw_path, const std::wstring& index_path,
                      const std::wstring& reason) override;

 private:
  void drop_last_keys();

  RunControl& control_;
  std::vector<std::wstring>& notes_;
  BuildProgress progress_;
  bool stopped_ = false;
};

}  // namespace zrn
