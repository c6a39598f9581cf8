#pragma once
#include <cstdint>
#include <string>

namespace zrn {

// Builds the drive's index anew; true when the new index was installed.
bool build_index(const std::wstring& drive_root);
// Builds the drive's index when it is too old or absent.
void ensure_index(const std::wstring& drive_root);

// The age rule: the age in days rounded half to even, in weeks rounded up,
// is more than `limit` weeks. Times are local seconds since 1970; a limit of
// 0 never finds an index too old, nor does a time in the future.
bool index_too_old(std::int64_t index_seconds, std::int64_t now_seconds, std::uint16_t limit);

// The parameters for cmd.exe that list every directory below the drive root
// into `target`.
std::wstring drive_listing_parameters(const std::wstring& drive_root, const std::wstring& target);

}  // namespace zrn
