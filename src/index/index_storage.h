#pragma once
#include <string>

namespace zrn {

// The user's temporary directory, long form, ending with a backslash.
std::wstring temporary_directory();

}  // namespace zrn
