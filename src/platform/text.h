#pragma once
// Text conversions and the system's case mappings.
#include <cstdint>
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

// Equal without regard to case, as the file system compares names.
bool same_text_ignoring_case(std::wstring_view a, std::wstring_view b);
inline bool starts_with_ignoring_case(std::wstring_view text, std::wstring_view start) {
  return text.size() >= start.size() && same_text_ignoring_case(text.substr(0, start.size()), start);
}

// Small rules on UTF-16 text that need no system call.

// The value of `digits` in `base` (10, or 16 with upper-case A to F):
// nothing for an empty text, any other character, or a value above `largest`.
inline std::optional<std::uint64_t> parse_number(std::wstring_view digits, unsigned base = 10,
                                                 std::uint64_t largest = UINT64_MAX) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const wchar_t c : digits) {
    unsigned digit = 0;
    if (c >= L'0' && c <= L'9') {
      digit = static_cast<unsigned>(c - L'0');
    } else if (base == 16 && c >= L'A' && c <= L'F') {
      digit = static_cast<unsigned>(c - L'A' + 10);
    } else {
      return std::nullopt;
    }
    if (value > (largest - digit) / base) return std::nullopt;
    value = value * base + digit;
  }
  return value;
}
// A to Z and a to z only, whatever the locale: drive letters and INI keys.
inline wchar_t ascii_upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }
inline wchar_t ascii_lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }
inline bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool is_low_surrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
// `text` without the leading and trailing characters found in `blanks`.
inline std::wstring_view trimmed(std::wstring_view text, std::wstring_view blanks = L" ") {
  const auto first = text.find_first_not_of(blanks);
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}
// `count` upper-case hexadecimal digits of `value`, leading zeros kept.
inline std::wstring hex_digits(std::uint64_t value, int count) {
  std::wstring text(static_cast<std::size_t>(count), L'0');
  for (int i = count - 1; i >= 0; --i, value >>= 4) {
    const auto digit = static_cast<unsigned>(value & 0xF);
    text[static_cast<std::size_t>(i)] = static_cast<wchar_t>(digit < 10 ? L'0' + digit : L'A' + digit - 10);
  }
  return text;
}

// A folder path ready for a name to be appended; an empty path stays empty.
inline std::wstring with_backslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

}  // namespace zrn::platform
