#pragma once
#include <string>

namespace zrn {

// Builds the drive's index anew.
void build_index(const std::wstring& drive_root);
// Builds the drive's index when it is too old or absent.
void ensure_index(const std::wstring& drive_root);

}  // namespace zrn
