#include "console/cell_width.h"

#include <algorithm>
#include <iterator>

#include "platform/text.h"

namespace zrn {

namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// Combining marks (general category Mn/Me) of the scripts a path is likely to
// hold, and the zero-width formatting characters.
constexpr Range kZeroWidth[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2}, {0x05C4, 0x05C5},
    {0x05C7, 0x05C7}, {0x0610, 0x061A}, {0x064B, 0x065F}, {0x0670, 0x0670}, {0x06D6, 0x06DC}, {0x06DF, 0x06E4},
    {0x06E7, 0x06E8}, {0x06EA, 0x06ED}, {0x0900, 0x0902}, {0x093A, 0x093A}, {0x093C, 0x093C}, {0x0941, 0x0948},
    {0x094D, 0x094D}, {0x0951, 0x0957}, {0x0962, 0x0963}, {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E},
    {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200B, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x2064}, {0x20D0, 0x20FF},
    {0x302A, 0x302D}, {0x3099, 0x309A}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xFEFF, 0xFEFF}, {0xE0100, 0xE01EF},
};

// East Asian Wide (W) and Fullwidth (F) blocks.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x2E80, 0x303E},
    {0x3041, 0x3247},   {0x3250, 0x4DBF},   {0x4E00, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},
    {0x16FE0, 0x18AFF}, {0x1B000, 0x1B16F}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
};

template <std::size_t N>
bool in(const Range (&table)[N], char32_t c) {
  const auto* it = std::upper_bound(std::begin(table), std::end(table), c,
                                    [](char32_t value, const Range& range) { return value < range.first; });
  return it != std::begin(table) && c <= std::prev(it)->last;
}

using platform::is_high_surrogate;
using platform::is_low_surrogate;

// The character starting at `at` and how many units it takes.
char32_t decode(std::wstring_view text, std::size_t at, std::size_t& units) {
  const wchar_t c = text[at];
  if (is_high_surrogate(c) && at + 1 < text.size() && is_low_surrogate(text[at + 1])) {
    units = 2;
    return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (static_cast<char32_t>(text[at + 1]) - 0xDC00);
  }
  units = 1;
  return static_cast<char32_t>(c);
}

}  // namespace

int cell_width(char32_t c) {
  if (in(kZeroWidth, c)) return 0;
  if (in(kWide, c)) return 2;
  return 1;
}

namespace {

// A character's width under either rule: as it should show, or as a console
// that gives every UTF-16 unit a cell at least shows it.
int width_of(char32_t c, std::size_t units, bool per_unit) {
  const int width = cell_width(c);
  return per_unit ? std::max(width, static_cast<int>(units)) : width;
}

int measure(std::wstring_view text, bool per_unit) {
  int cells = 0;
  for (std::size_t at = 0, units = 0; at < text.size(); at += units) {
    const char32_t c = decode(text, at, units);
    cells += width_of(c, units, per_unit);
  }
  return cells;
}

std::wstring_view cut(std::wstring_view text, int cells, bool per_unit) {
  int used = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t units = 0;
    const char32_t c = decode(text, at, units);
    const int width = width_of(c, units, per_unit);
    if (used + width > cells) break;
    used += width;
    at += units;
  }
  return text.substr(0, at);
}

}  // namespace

int text_cells(std::wstring_view text) { return measure(text, false); }

std::wstring_view cut_cells(std::wstring_view text, int cells) { return cut(text, cells, false); }

std::wstring_view last_cells(std::wstring_view text, int cells) {
  // Walk back over whole characters; a mark belongs to the character before it.
  std::size_t start = text.size();
  int used = 0;
  while (start > 0) {
    std::size_t begin = start - 1;
    if (is_low_surrogate(text[begin]) && begin > 0 && is_high_surrogate(text[begin - 1])) --begin;
    std::size_t units = 0;
    const int width = cell_width(decode(text, begin, units));
    if (used + width > cells) break;
    used += width;
    start = begin;
  }
  while (start < text.size()) {
    std::size_t units = 0;
    if (cell_width(decode(text, start, units)) != 0) break;
    start += units;
  }
  return text.substr(start);
}

std::wstring pad_cells(std::wstring_view text, int cells) {
  const std::wstring_view cut = cut_cells(text, cells);
  std::wstring result(cut);
  result.append(static_cast<std::size_t>(std::max(cells - text_cells(cut), 0)), L' ');
  return result;
}

int console_cells(std::wstring_view text) { return measure(text, true); }

std::wstring_view cut_console_cells(std::wstring_view text, int cells) { return cut(text, cells, true); }

std::wstring fit_console_cells(std::wstring_view text, int cells) {
  std::wstring result(cut_console_cells(text, cells));
  result.append(static_cast<std::size_t>(std::max(cells - console_cells(result), 0)), L' ');
  return result;
}

std::wstring_view clip(std::wstring_view text, int cells) {
  text = cut_cells(text, cells);
  auto units = static_cast<std::size_t>(std::max(cells, 0));
  if (text.size() <= units) return text;
  if (units > 0 && is_high_surrogate(text[units - 1])) --units;
  return text.substr(0, units);
}

}  // namespace zrn
