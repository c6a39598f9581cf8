#include "platform/text.h"

#include <windows.h>

#include <climits>
#include <cwctype>

namespace zrn::platform {

namespace {

std::string narrow(UINT code_page, DWORD flags, std::wstring_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int wide_size = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(code_page, flags, text.data(), wide_size, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(code_page, flags, text.data(), wide_size, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::wstring widen(UINT code_page, std::string_view bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const int byte_size = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(code_page, 0, bytes.data(), byte_size, nullptr, 0);
  std::wstring text(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) MultiByteToWideChar(code_page, 0, bytes.data(), byte_size, text.data(), size);
  return text;
}

}  // namespace

std::string to_utf8(std::wstring_view text) { return narrow(CP_UTF8, 0, text); }
std::wstring from_utf8(std::string_view bytes) { return widen(CP_UTF8, bytes); }
// Best fit would turn a fullwidth quote into '"' or an A with macron into 'A':
// a different, visible character that the shell or a search then takes for
// the real one. Without it such a character becomes the default character.
std::string to_ansi(std::wstring_view text) { return narrow(CP_ACP, WC_NO_BEST_FIT_CHARS, text); }
std::wstring from_ansi(std::string_view bytes) { return widen(CP_ACP, bytes); }
std::wstring from_code_page(std::string_view bytes, unsigned code_page) { return widen(code_page, bytes); }

std::optional<std::string> to_code_page_exactly(std::wstring_view text, unsigned code_page) {
  if (code_page == CP_UTF8) return to_utf8(text);
  if (text.size() > INT_MAX) return std::nullopt;
  if (text.empty()) return std::string();
  const int wide_size = static_cast<int>(text.size());
  BOOL used_default = FALSE;
  const int size =
      WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, text.data(), wide_size, nullptr, 0, nullptr, &used_default);
  if (size <= 0 || used_default) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, text.data(), wide_size, bytes.data(), size, nullptr,
                          &used_default) != size ||
      used_default) {
    return std::nullopt;
  }
  // A code page without the flag's check (a few of the stateful ones) must
  // at least give the same text back.
  if (widen(code_page, bytes) != text) return std::nullopt;
  return bytes;
}

std::wstring upper(std::wstring_view text) {
  std::wstring result(text);
  if (!result.empty() && result.size() <= UINT_MAX) {
    CharUpperBuffW(result.data(), static_cast<DWORD>(result.size()));
  }
  return result;
}

wchar_t lower_char(wchar_t c) {
  // CharLowerW takes a single character in the low word of its pointer argument.
  return static_cast<wchar_t>(
      reinterpret_cast<ULONG_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

wchar_t upper_char(wchar_t c) {
  return static_cast<wchar_t>(
      reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

bool same_letter_ignoring_case(wchar_t a, wchar_t b) {
  if (a == b) return true;
  return std::towlower(static_cast<wint_t>(a)) == std::towlower(static_cast<wint_t>(b)) ||
         std::towupper(static_cast<wint_t>(a)) == std::towupper(static_cast<wint_t>(b));
}

bool same_text_ignoring_case(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

}  // namespace zrn::platform
