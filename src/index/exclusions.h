#pragma once
#include <string>
#include <vector>

namespace zrn {

// The nine built-in exclusion words, upper-cased, in their fixed order.
std::vector<std::wstring> default_exclusions();

}  // namespace zrn
