#include "config/configuration.h"

#include <algorithm>

#include "config/ini_file.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zrn {

namespace {

enum class Section { other, quick_directories, defaults, exclude };

std::wstring quick_directory_value(std::wstring_view value) {
  std::wstring path = cut_comment(value);
  // A path written in one pair of quotes, as for a path with blanks, means
  // the path; a quote anywhere else stays and makes the entry unusable.
  if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"' && path.find(L'"', 1) == path.size() - 1) {
    path = path.substr(1, path.size() - 2);
  }
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

// "Q0" to "Q9" in any case: the entry number, else -1.
int quick_directory_key(std::wstring_view name) {
  if (name.size() != 2 || !ini_names_equal(name.substr(0, 1), L"Q")) return -1;
  if (name[1] < L'0' || name[1] > L'9') return -1;
  return name[1] - L'0';
}

std::string read_configuration_bytes(const std::wstring& path) {
  std::string bytes;
  platform::File file = platform::File::open_for_reading(path);
  if (!file.is_open()) return bytes;
  // One byte more than is kept tells a file that ends at the limit from a
  // longer one.
  char buffer[65536];
  while (bytes.size() <= kMostConfigurationBytes) {
    const auto got = file.read(buffer, std::min(sizeof buffer, kMostConfigurationBytes + 1 - bytes.size()));
    if (!got || *got == 0) break;
    bytes.append(buffer, *got);
  }
  return keep_whole_lines(std::move(bytes));
}

}  // namespace

std::string keep_whole_lines(std::string bytes) {
  if (bytes.size() <= kMostConfigurationBytes) return bytes;
  // A line cut at the limit could read as another value ("D:\Work" of
  // "D:\Work\Old"): what is kept ends with the last whole line.
  // A line end just beyond the limit still ends the last kept line.
  bytes.resize(kMostConfigurationBytes + 1);
  const auto end = bytes.find_last_of("\r\n");
  bytes.resize(end == std::string::npos ? 0 : end);
  return bytes;
}

bool is_valid_utf8(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 1;
    char32_t value = lead;
    if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      value = lead & 0x07u;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      value = lead & 0x0Fu;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      value = lead & 0x1Fu;
    } else if (lead >= 0x80) {
      return false;
    }
    if (at + length > bytes.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[at + k]);
      if ((next & 0xC0u) != 0x80u) return false;
      value = (value << 6) | (next & 0x3Fu);
    }
    // Overlong forms, halves of surrogate pairs and values beyond Unicode
    // are not UTF-8 that an editor writes.
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    if (overlong || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return false;
    at += length;
  }
  return true;
}

namespace {

std::wstring from_utf16(std::string_view bytes, bool big_endian) {
  std::wstring text;
  text.reserve(bytes.size() / 2);
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    const auto unit = static_cast<wchar_t>(big_endian ? (first << 8) | second : (second << 8) | first);
    if (unit == 0) break;
    text += unit;
  }
  return text;
}

// The [Default] keys read so far: the first line of each key counts.
struct DefaultKeys {
  bool index_time = false;
  bool order = false;
  bool change = false;
};

void take_default(const IniLine& line, DefaultKeys& seen, Configuration& result) {
  if (!seen.order && ini_names_equal(line.name, L"Order")) {
    seen.order = true;
    result.learned_order = ini_names_equal(cut_comment(line.value), L"learned");
  } else if (!seen.change && ini_names_equal(line.name, L"Change")) {
    seen.change = true;
    result.change_with_pushd = ini_names_equal(cut_comment(line.value), L"pushd");
  } else if (!seen.index_time && ini_names_equal(line.name, L"Indextime")) {
    seen.index_time = true;
    result.index_age_limit = ini_number(line.value);
  }
}

}  // namespace

std::wstring decode_configuration(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE") return from_utf16(bytes.substr(2), false);
  if (bytes.substr(0, 2) == "\xFE\xFF") return from_utf16(bytes.substr(2), true);
  const bool marked = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  if (marked) bytes.remove_prefix(3);
  bytes = bytes.substr(0, bytes.find('\0'));
  // Editors save UTF-8 without a mark nowadays; ANSI text with letters
  // outside ASCII is almost never valid UTF-8 as well.
  return marked || is_valid_utf8(bytes) ? platform::from_utf8(bytes) : platform::from_ansi(bytes);
}

Configuration parse_configuration(std::wstring_view text) {
  Configuration result;
  Section section = Section::other;
  bool seen_quick_directories = false;
  bool seen_defaults = false;
  bool seen_exclude = false;
  DefaultKeys seen_default_keys;
  std::array<bool, 10> seen_quick_key{};

  // Only the first group of a name counts: a later one of the same name
  // reads like an unknown group.
  const auto enter = [&](bool& seen, Section wanted) {
    section = seen ? Section::other : wanted;
    seen = true;
  };

  for_each_ini_line(text, [&](const IniLine& line) {
    if (line.kind == IniLineKind::group) {
      section = Section::other;
      if (ini_names_equal(line.name, L"QuickDIR")) enter(seen_quick_directories, Section::quick_directories);
      if (ini_names_equal(line.name, L"Default")) enter(seen_defaults, Section::defaults);
      if (ini_names_equal(line.name, L"exclude")) enter(seen_exclude, Section::exclude);
      return;
    }
    if (line.kind != IniLineKind::key) return;
    switch (section) {
      case Section::quick_directories: {
        const int entry = quick_directory_key(line.name);
        if (entry < 0 || seen_quick_key[static_cast<std::size_t>(entry)]) return;
        seen_quick_key[static_cast<std::size_t>(entry)] = true;
        result.quick_directories[static_cast<std::size_t>(entry)] = quick_directory_value(line.value);
        return;
      }
      case Section::defaults:
        take_default(line, seen_default_keys, result);
        return;
      case Section::exclude: {
        if (result.exclusions.size() == kMostConfiguredExclusions) return;
        // An empty word would be found in every path and empty the index.
        const std::wstring word = cut_comment(line.name);
        if (!word.empty()) result.exclusions.push_back(platform::upper(word));
        return;
      }
      case Section::other:
        return;
    }
  });

  if (seen_defaults && !seen_default_keys.index_time) result.index_age_limit = 2;
  return result;
}

std::wstring program_directory() { return platform::module_directory(); }

Configuration read_configuration(const std::wstring& program_directory) {
  return parse_configuration(decode_configuration(read_configuration_bytes(program_directory + L"ZRN.INI")));
}

}  // namespace zrn
