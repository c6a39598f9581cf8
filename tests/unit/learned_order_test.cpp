#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"
#include "search/choice_history.h"
#include "search/ranking.h"

namespace zrn {
namespace {

constexpr std::int64_t kNow = 1'800'000'000;
constexpr std::int64_t kDay = 86400;

TEST(LearnedOrder, RankingTable) {
  struct Case {
    const wchar_t* search;
    std::vector<std::wstring> found;
    std::vector<Choice> history;
    std::vector<std::wstring> ordered;
  };
  const Case cases[] = {
      // The exact name first, then names that start with the text, then the rest.
      {L"src",
       {L"D:\\a\\src-old", L"D:\\b\\mysrc", L"D:\\z\\src"},
       {},
       {L"D:\\z\\src", L"D:\\a\\src-old", L"D:\\b\\mysrc"}},
      // Within a tier, what was chosen (any letter case) before shorter paths.
      {L"src",
       {L"D:\\a\\src-x", L"D:\\long\\src-y"},
       {{L"d:\\LONG\\src-y", 1, kNow}},
       {L"D:\\long\\src-y", L"D:\\a\\src-x"}},
      // More often, or more lately, weighs more.
      {L"p", {L"D:\\p1", L"D:\\p2"}, {{L"D:\\p1", 1, kNow}, {L"D:\\p2", 3, kNow}}, {L"D:\\p2", L"D:\\p1"}},
      {L"p", {L"D:\\p1", L"D:\\p2"}, {{L"D:\\p1", 3, kNow - 30 * kDay}, {L"D:\\p2", 1, kNow}}, {L"D:\\p2", L"D:\\p1"}},
      // A choice never lifts a path above a better name.
      {L"src", {L"D:\\b\\mysrc", L"D:\\z\\src"}, {{L"D:\\b\\mysrc", 9, kNow}}, {L"D:\\z\\src", L"D:\\b\\mysrc"}},
      // Then shorter paths, then the order found.
      {L"x", {L"D:\\long\\ax", L"D:\\a\\bx", L"D:\\c\\dx"}, {}, {L"D:\\a\\bx", L"D:\\c\\dx", L"D:\\long\\ax"}},
      // A path query names the last component with its last part.
      {L"web\\src", {L"D:\\web\\srcs", L"D:\\web\\src"}, {}, {L"D:\\web\\src", L"D:\\web\\srcs"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::to_utf8(c.search) + " " + platform::to_utf8(c.found.front()));
    std::vector<std::wstring> paths = c.found;
    rank_matches(paths, c.search, c.history, kNow);
    EXPECT_EQ(paths, c.ordered);
  }
}

TEST(LearnedOrder, ChoicesFileReadsWhatItWroteAndDamageAsNothing) {
  const std::vector<Choice> kept = {{L"D:\\Caf\u00e9", 2, kNow}, {L"C:\\a b", 1, 7}};
  const std::string bytes = choices_bytes(kept);
  EXPECT_EQ(bytes, "Zarnpath choices 1\r\n2\t1800000000\tD:\\Caf\xc3\xa9\r\n1\t7\tC:\\a b\r\n");
  EXPECT_EQ(parse_choices(bytes), kept);
  const std::string damaged[] = {
      bytes.substr(0, bytes.size() - 1),            // cut short
      "Zarnpath choices 2\r\n",                     // unknown form
      "Zarnpath choices 1\r\n0\t5\tD:\\a\r\n",      // never chosen
      "Zarnpath choices 1\r\nx\t5\tD:\\a\r\n",      // no count
      "Zarnpath choices 1\r\n1\t5\tD:\\a\"&x\r\n",  // no directory
      std::string(kMostChoicesBytes + 1, 'x'),
  };
  for (const auto& d : damaged) {
    SCOPED_TRACE(d.substr(0, 60));
    EXPECT_TRUE(parse_choices(d).empty());
  }
}

TEST(LearnedOrder, AChoiceCountsOnceMoreAndTheFileStaysBounded) {
  auto choices = with_choice({{L"D:\\A", 2, kNow - kDay}}, L"d:\\a", kNow);
  EXPECT_EQ(choices, (std::vector<Choice>{{L"d:\\a", 3, kNow}}));
  std::vector<Choice> full;
  for (std::size_t i = 0; i < kMostChoices; ++i) full.push_back({L"D:\\old" + std::to_wstring(i), 1, kNow - 60 * kDay});
  choices = with_choice(full, L"D:\\new", kNow);
  ASSERT_EQ(choices.size(), kMostChoices);
  EXPECT_EQ(choices.front().path, L"D:\\new");
}

}  // namespace
}  // namespace zrn
