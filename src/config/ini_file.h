#pragma once
// The line rules of ZRN.INI: what a line is, how names compare, how numbers
// and comments inside values read. Pure functions over text already decoded.
#include <cstdint>
#include <string>
#include <string_view>

namespace zrn {

enum class IniLineKind { empty, comment, group, key };

struct IniLine {
  IniLineKind kind = IniLineKind::empty;
  std::wstring_view name;   // group name, or key name without trailing blanks
  std::wstring_view value;  // key lines only, without surrounding blanks
};

IniLine classify_ini_line(std::wstring_view line);

// Walks the lines of `text` (ended by CR, LF or CR LF) and hands each line
// that is not empty to `visit`.
template <typename Visit>
void for_each_ini_line(std::wstring_view text, Visit visit) {
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) end = text.size();
    const IniLine line = classify_ini_line(text.substr(start, end - start));
    if (line.kind != IniLineKind::empty) visit(line);
    start = end + 1;
  }
}

// Group and key names: the letters A to Z match their lower-case forms; every
// other character only itself.
bool ini_names_equal(std::wstring_view a, std::wstring_view b);

// The decimal integer at the start of `value` (optional sign, digits, then
// anything), taken modulo 65536; 0 when the value does not start with one.
std::uint16_t ini_number(std::wstring_view value);

// "name ; remark" -> "name": the part before the first ';' without tabs and
// without surrounding spaces. A text without ';' is returned unchanged.
std::wstring cut_comment(std::wstring_view text);

}  // namespace zrn
