#include "index/index_builder.h"

#include "app/program_state.h"
#include "index/index_storage.h"
#include "index/listing_filter.h"
#include "index/run_hidden.h"
#include "platform/files.h"

namespace zrn {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t days_rounded_half_to_even(std::int64_t seconds) {
  std::int64_t days = seconds / kSecondsPerDay;
  std::int64_t rest = seconds % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  if (2 * rest > kSecondsPerDay || (2 * rest == kSecondsPerDay && days % 2 != 0)) ++days;
  return days;
}

std::int64_t weeks_rounded_up(std::int64_t days) { return days / 7 + (days % 7 > 0 ? 1 : 0); }

}  // namespace

bool index_too_old(std::int64_t index_seconds, std::int64_t now_seconds, std::uint16_t limit) {
  if (limit == 0) return false;
  return weeks_rounded_up(days_rounded_half_to_even(now_seconds - index_seconds)) > limit;
}

std::wstring drive_listing_parameters(const std::wstring& drive_root, const std::wstring& target) {
  // /U makes cmd write the listing as UTF-16, so every name arrives intact
  // whatever the console's code page; the quotes keep a temporary directory
  // with a blank in one piece.
  return L"/U /C dir " + drive_root + L" /ad /b /on /s >\"" + target + L"\"";
}

bool build_index(const std::wstring& drive_root) {
  prepare_data_directory(drive_root);
  const std::wstring raw_path = raw_listing_path();
  const std::wstring filtered_path = filtered_listing_path();
  // A listing left over from an interrupted run, perhaps of another drive,
  // must never pass for this drive's.
  platform::delete_file(raw_path);
  platform::delete_file(filtered_path);
  bool installed = false;
  if (run_hidden(L"cmd.exe", drive_listing_parameters(drive_root, raw_path))) {
    // A listing that could not be read or written whole leaves no filtered
    // listing, so the install below fails and shows its message while the
    // drive keeps its previous index.
    filter_listing(raw_path, filtered_path, state().exclusions);
    installed = install_index(raw_path, filtered_path, drive_root);
  }
  write_readme(drive_root);
  return installed;
}

void ensure_index(const std::wstring& drive_root) {
  const auto& s = state();
  const std::wstring path = index_file_path(drive_root);
  if (s.index_age_limit != 0) {
    const std::int64_t index_time = platform::last_write_local_seconds(path).value_or(0);
    if (index_too_old(index_time, platform::now_local_seconds(), s.index_age_limit)) build_index(drive_root);
  }
  if (!platform::path_exists(path) || platform::is_directory(path) || platform::file_size(path).value_or(0) == 0) {
    build_index(drive_root);
  }
}

}  // namespace zrn
