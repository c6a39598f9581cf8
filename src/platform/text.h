#pragma once
// Text conversions and the system's case mappings.
#include <optional>
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
std::wstring from_code_page(std::string_view bytes, unsigned code_page);
// The text in `code_page` when every character has a byte sequence of its
// own there (no default character, no look-alike); nothing otherwise.
std::optional<std::string> to_code_page_exactly(std::wstring_view text, unsigned code_page);

std::wstring upper(std::wstring_view text);  // CharUpperW
wchar_t lower_char(wchar_t c);               // CharLowerW
wchar_t upper_char(wchar_t c);               // CharUpperW
// Equal without regard to case under the user's locale.
bool same_letter_ignoring_case(wchar_t a, wchar_t b);

// Small rules on UTF-16 text that need no system call.
inline bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool is_low_surrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
// `text` without the leading and trailing characters found in `blanks`.
inline std::wstring_view trimmed(std::wstring_view text, std::wstring_view blanks = L" ") {
  const auto first = text.find_first_not_of(blanks);
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}
// A folder path ready for a name to be appended; an empty path stays empty.
inline std::wstring with_backslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

}  // namespace zrn::platform
