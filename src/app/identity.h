#pragma once
#include <string_view>

namespace zrn {

// Sets the display title, version and credit texts in the program state.
void set_identity();
// True when the credit texts are the ones the program was built with.
bool credits_intact(std::wstring_view author, std::wstring_view place);

inline constexpr std::wstring_view kWebAddress = L"https://zarnpath.example";

}  // namespace zrn
