#pragma once
#include <cstdint>
#include <string>

namespace zrn {

// Told how far the listing of a drive has come while its index is built, so
// that a long wait is never silent.
class IndexProgress {
 public:
  virtual ~IndexProgress() = default;
  virtual void listing(const std::wstring& drive_root, std::uint64_t folders) = 0;
  virtual void finished() = 0;
};
void set_index_progress(IndexProgress* progress);

// Builds the drive's index anew; true when the new index was installed.
bool build_index(const std::wstring& drive_root);
// Builds the drive's index when it is too old or absent.
void ensure_index(const std::wstring& drive_root);

// The age rule: the age in days rounded half to even, in weeks rounded up,
// is more than `limit` weeks. Times are local seconds since 1970; a limit of
// 0 never finds an index too old, nor does a time in the future.
bool index_too_old(std::int64_t index_seconds, std::int64_t now_seconds, std::uint16_t limit);

// The parameters for cmd.exe that list every directory below the drive root
// to its standard output.
std::wstring drive_listing_parameters(const std::wstring& drive_root);

// A listing that no real drive gives (a folder link that loops, a planted
// drive) ends the build with the previous index kept: more than 4 GiB of
// listing (about 20 million paths of 100 characters), or more than 1000
// paths too long to be offered (a path that keeps growing through a link).
inline constexpr std::uint64_t kLargestListingBytes = std::uint64_t{4} << 30;
inline constexpr std::uint64_t kMostOverlongPaths = 1000;
bool listing_out_of_bounds(std::uint64_t bytes, std::uint64_t overlong_paths);

}  // namespace zrn
