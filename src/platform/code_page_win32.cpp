#include "platform/code_page.h"

#include <windows.h>

namespace zrn::platform {

std::optional<std::array<wchar_t, 256>> ansi_byte_characters() {
  CPINFO info;
  if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1) return std::nullopt;
  char bytes[256];
  for (int i = 0; i < 256; ++i) bytes[i] = static_cast<char>(i);
  std::array<wchar_t, 256> characters{};
  if (MultiByteToWideChar(CP_ACP, 0, bytes, 256, characters.data(), 256) != 256) return std::nullopt;
  return characters;
}

std::optional<std::vector<char>> ansi_bytes_of_units() {
  CPINFO info;
  if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1) return std::nullopt;
  std::vector<wchar_t> units(65536);
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = i >= 0xD800 && i <= 0xDFFF ? L'?' : static_cast<wchar_t>(i);
  }
  std::vector<char> bytes(units.size());
  const int size = static_cast<int>(units.size());
  // As to_ansi: no best fit, so no unit stands for a different visible byte.
  if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, units.data(), size, bytes.data(), size, nullptr, nullptr) !=
      size) {
    return std::nullopt;
  }
  return bytes;
}

std::vector<wchar_t> upper_case_table() {
  std::vector<wchar_t> table(65536);
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<wchar_t>(i);
  CharUpperBuffW(table.data(), static_cast<DWORD>(table.size()));
  for (std::size_t i = 0xD800; i <= 0xDFFF; ++i) table[i] = static_cast<wchar_t>(i);
  return table;
}

}  // namespace zrn::platform
