#pragma once
// Text conversions and the system's case mappings.
#include <string>
#include <string_view>

namespace zrn::platform {

std::string to_utf8(std::wstring_view text);
// Bytes that are not valid UTF-8 become U+FFFD.
std::wstring from_utf8(std::string_view bytes);
// The system's ANSI code page; characters it cannot hold become its default
// character (usually '?'), never a look-alike.
std::string to_ansi(std::wstring_view text);
std::wstring from_ansi(std::string_view bytes);
unsigned ansi_code_page();
std::wstring from_code_page(std::string_view bytes, unsigned code_page);

std::wstring upper(std::wstring_view text);  // CharUpperW
wchar_t lower_char(wchar_t c);               // CharLowerW
wchar_t upper_char(wchar_t c);               // CharUpperW
// Equal without regard to case under the user's locale.
bool same_letter_ignoring_case(wchar_t a, wchar_t b);

}  // namespace zrn::platform
