#pragma once
#include <cstdint>
#include <string_view>

#include "build_identity.h"

namespace zrn {

inline constexpr std::wstring_view kDisplayTitle = L"ZRN - Zarnpath";
inline constexpr std::wstring_view kVersionText = L"" ZRN_VERSION_TEXT;
inline constexpr std::wstring_view kAuthorName = L"The Zarnpath Developers";
inline constexpr std::wstring_view kMakerPlace = L"Lakeside, Nowhereland";
inline constexpr std::wstring_view kWebAddress = L"https://zarnpath.example";

// When the program was built: seconds since 1970-01-01 00:00:00.
std::int64_t build_time();

// True when the credit texts are the ones the program was built with.
bool credits_intact(std::wstring_view author, std::wstring_view place);

}  // namespace zrn
