#include "config/ini_file.h"

#include "platform/text.h"

namespace zrn {

namespace {

constexpr std::wstring_view kBlanks = L" \t";

std::wstring_view trim_blanks(std::wstring_view text) { return platform::trimmed(text, kBlanks); }

}  // namespace

IniLine classify_ini_line(std::wstring_view line) {
  const auto first = line.find_first_not_of(kBlanks);
  if (first == std::wstring_view::npos) return {};
  line.remove_prefix(first);
  if (line.front() == L';') return {IniLineKind::comment, {}, {}};
  if (line.front() == L'[') {
    const auto close = line.find(L']', 1);
    return {
        IniLineKind::group, line.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1), {}};
  }
  const auto equals = line.find(L'=');
  if (equals == std::wstring_view::npos) return {IniLineKind::key, trim_blanks(line), {}};
  return {IniLineKind::key, trim_blanks(line.substr(0, equals)), trim_blanks(line.substr(equals + 1))};
}

bool ini_names_equal(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (platform::ascii_lower(a[i]) != platform::ascii_lower(b[i])) return false;
  }
  return true;
}

std::uint16_t ini_number(std::wstring_view value) {
  bool negative = false;
  if (!value.empty() && (value.front() == L'+' || value.front() == L'-')) {
    negative = value.front() == L'-';
    value.remove_prefix(1);
  }
  // Kept modulo 65536 digit by digit, so no length of digits can overflow.
  std::uint32_t number = 0;
  for (const wchar_t c : value) {
    if (c < L'0' || c > L'9') break;
    number = (number * 10 + static_cast<std::uint32_t>(c - L'0')) & 0xFFFFu;
  }
  if (negative) number = (0x10000u - number) & 0xFFFFu;
  return static_cast<std::uint16_t>(number);
}

std::wstring cut_comment(std::wstring_view text) {
  const auto semicolon = text.find(L';');
  if (semicolon == std::wstring_view::npos) return std::wstring(text);
  std::wstring kept;
  for (const wchar_t c : text.substr(0, semicolon)) {
    if (c != L'\t') kept += c;
  }
  return std::wstring(platform::trimmed(kept));
}

}  // namespace zrn
