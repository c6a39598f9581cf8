#include "console/cell_width.h"

#include <gtest/gtest.h>

namespace zrn {
namespace {

TEST(CellWidth, ByKindOfCharacter) {
  struct Case {
    char32_t c;
    int cells;
  };
  const Case cases[] = {
      {U'a', 1},      {U'\u00e9', 1},     {U'\u2502', 1},     {U'\u0301', 0},     {U'\u200d', 0},
      {U'\ufe0f', 0}, {U'\u0e48', 0},     {U'\u4e2d', 2},     {U'\u3000', 2},     {U'\uac00', 2},
      {U'\uff21', 2}, {U'\uff61', 1},     {U'\u3042', 2},     {U'\u1100', 2},     {U'\u115f', 2},
      {U'\u1160', 1}, {U'\U0001F600', 2}, {U'\U00020000', 2}, {U'\U000F0311', 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<unsigned>(c.c));
    EXPECT_EQ(cell_width(c.c), c.cells);
  }
}

TEST(CellWidth, TextCutPaddedAndClipped) {
  const std::wstring cjk = L"ab\u4e2d\u6587cd";  // 8 cells in 6 units
  const std::wstring accent = L"e\u0301x";       // 2 cells in 3 units
  const std::wstring pair = L"a\U000F0311b";     // 3 cells in 4 units
  EXPECT_EQ(text_cells(cjk), 8);
  // A wide character that would straddle the limit is left out whole.
  EXPECT_EQ(cut_cells(cjk, 3), L"ab");
  EXPECT_EQ(cut_cells(cjk, 4), L"ab\u4e2d");
  EXPECT_EQ(cut_cells(accent, 1), L"e\u0301");
  EXPECT_EQ(last_cells(cjk, 3), L"cd");
  EXPECT_EQ(last_cells(L"e\u0301", 1), L"e\u0301");
  EXPECT_EQ(pad_cells(cjk, 3), L"ab ");
  // Never more units than cells either: a console keeping one unit per
  // cell then stays inside the limit.
  EXPECT_EQ(clip(pair, 3), L"a\U000F0311");
  EXPECT_EQ(clip(pair, 2), L"a");
  EXPECT_EQ(clip(accent, 2), L"e\u0301");
  EXPECT_EQ(clip(cjk, 8), cjk);
}

}  // namespace
}  // namespace zrn
