#include "console/narrowing.h"

#include <gtest/gtest.h>

#include <numeric>

#include "platform/text.h"

namespace zrn {
namespace {

TEST(Narrowing, EveryWordAnywhereInThePathWithoutRegardToCase) {
  const std::vector<std::wstring> paths = {L"D:\\Projects\\zarn-web\\src", L"D:\\Projects\\zarn-cli\\src",
                                           L"C:\\Src\\Web", L"E:\\B\u00dcRO\\web-src", L"D:\\Other"};
  FoldedMatches folded_matches;
  fold_matches(paths, folded_matches);
  const auto& folded = folded_matches.paths;
  for (std::size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(folded[i], platform::upper(paths[i]));
  std::vector<std::size_t> all(paths.size());
  std::iota(all.begin(), all.end(), 0);
  struct Case {
    std::wstring typed;
    std::vector<std::size_t> kept;
  };
  const Case cases[] = {
      {L"", {0, 1, 2, 3, 4}},    {L"   ", {0, 1, 2, 3, 4}},  {L"web", {0, 2, 3}}, {L"WEB src", {0, 2, 3}},
      {L"src  web ", {0, 2, 3}}, {L"zarn src", {0, 1}},      {L"web-s", {3}},     {L"b\u00fcro", {3}},
      {L"web cli", {}},          {L"projects\\zarn-c", {1}}, {L"x", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.typed));
    EXPECT_EQ(narrow(folded, all, platform::upper(c.typed)), c.kept);
  }
  // Only the candidates are looked at, in their order.
  EXPECT_EQ(narrow(folded, std::vector<std::size_t>{2, 3}, L"WEB"), (std::vector<std::size_t>{2, 3}));
}

TEST(Narrowing, KeysThatEditTheTypedText) {
  struct Case {
    std::wstring typed;
    wchar_t key;
    bool edits;
    std::wstring after;
  };
  const Case cases[] = {
      {L"we", L'b', true, L"web"}, {L"web", L' ', true, L"web "},   {L"web", 8, true, L"we"},
      {L"", 8, true, L""},         {L"a\U0001F600", 8, true, L"a"}, {L"a", L'\u00e9', true, L"a\u00e9"},
      {L"a", 13, false, L""},      {L"a", 27, false, L""},          {L"a", 9, false, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.key));
    EXPECT_EQ(edits_filter(std::wstring(1, c.key)), c.edits);
    if (c.edits) {
      EXPECT_EQ(edited_filter(c.typed, c.key), c.after);
    }
  }
  EXPECT_FALSE(edits_filter(L""));
}

}  // namespace
}  // namespace zrn
