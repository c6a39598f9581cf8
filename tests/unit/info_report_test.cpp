#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.h"
#include "info/information_report.h"

namespace zrn {
namespace {

TEST(InfoBuildStamp, FormatsTheTimeWithoutZoneChange) {
  struct Case {
    std::int64_t seconds;
    const wchar_t* stamp;
  };
  const Case cases[] = {
      {1756160685, L"202508252224"}, {0, L"197001010000"},          {59, L"197001010000"},
      {60, L"197001010001"},         {86399, L"197001012359"},      {951782400, L"200002290000"},  // a leap day
      {1704067199, L"202312312359"}, {1704067200, L"202401010000"}, {4102444800, L"210001010000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(build_stamp(c.seconds), c.stamp);
  }
}

TEST(InfoMemory, DropsTheRemainderOfAMegabyte) {
  struct Case {
    std::uint64_t bytes;
    std::uint64_t megabytes;
  };
  const Case cases[] = {
      {0, 0},
      {1048575, 0},
      {1048576, 1},
      {2097151, 1},
      {17179869184ull, 16384},
      {17179869183ull, 16383},
      {8589934592ull + 1048575, 8192},
      {~0ull, 17592186044415ull},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(memory_megabytes(c.bytes), c.megabytes);
  }
}

TEST(InfoProcessor, StripsLeadingBlanksOrSaysUnknown) {
  struct Case {
    std::string brand;
    const wchar_t* name;
  };
  const Case cases[] = {
      {"Intel(R) Core(TM) i7 CPU", L"Intel(R) Core(TM) i7 CPU"},
      {"        Intel(R) Xeon(R) CPU E5-2680 0 @ 2.70GHz", L"Intel(R) Xeon(R) CPU E5-2680 0 @ 2.70GHz"},
      {" \t AMD Ryzen 7  ", L"AMD Ryzen 7  "},
      {std::string("AMD\0garbage", 11), L"AMD"},
      {"", L"Unknown CPU"},
      {"   ", L"Unknown CPU"},
      {std::string(48, '\0'), L"Unknown CPU"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.brand);
    EXPECT_EQ(processor_name(c.brand), c.name);
  }
}

ReportFacts sample_facts() {
  ReportFacts facts;
  facts.display_title = L"ZRN - Zarnpath";
  facts.version_text = L"1.00";
  facts.author_name = L"A. Author";
  facts.maker_place = L"Town, Country";
  facts.web_address = L"https://example.test";
  facts.build_time = 1756160685;
  facts.commit = L"1a2b3c4";
  facts.user_name = L"someone";
  facts.computer_name = L"MACHINE";
  facts.memory_bytes = 17179869184ull;
  facts.processor_name = L"Some CPU";
  facts.window_width = 80;
  facts.window_height = 25;
  facts.program_directory = L"C:\\Tools\\";
  return facts;
}

// The report as lines, each piece written "{text/background}text" when it
// sets colours.
std::vector<std::wstring> rendered_lines(const std::vector<ReportPiece>& pieces) {
  std::vector<std::wstring> lines(1);
  for (const auto& piece : pieces) {
    if (piece.text_colour >= 0) {
      lines.back() += L"{" + std::to_wstring(piece.text_colour) + L"/" + std::to_wstring(piece.background) + L"}";
    }
    lines.back() += piece.text;
    if (piece.line_end) lines.emplace_back();
  }
  return lines;
}

TEST(InfoReport, FifteenLinesInTheirOrderAndColours) {
  const auto lines = rendered_lines(report_pieces(sample_facts()));
  const std::vector<std::wstring> expected = {
      L"",
      L"{0/7}         {14/0}  ZRN - Zarnpath{7/0}, By {14/0}A. Author, Town, Country (https://example.test)",
      L"{0/7}   ZRN   ",
      L"{0/7}         {7/0}  Version: {14/0}1.00",
      L"{0/7}         {7/0}  Build: {14/0}202508252224 (commit 1a2b3c4)",
      L"{0/7}         {7/0}  User: {14/0}someone",
      L"{0/7}         {7/0}  Computer Name: {14/0}MACHINE",
      L"{0/7}         {7/0}  Memory: {14/0}16384 MB",
      L"{0/7}         {7/0}  CPU Name: {14/0}Some CPU",
      L"{0/7}         {7/0}  Console: {14/0}80x25 characters",
      L"",
      L"{7/0}Location program and INI-file: {14/0}C:\\Tools\\",
      L"{7/0}Configuration file: {14/0}C:\\Tools\\ZRN.INI",
      L"",
      L"",
      L"",  // after the fifteenth line end
  };
  EXPECT_EQ(lines, expected);
}

TEST(InfoReport, UnreadableFactsStillGiveFifteenLines) {
  ReportFacts facts = sample_facts();
  facts.user_name.clear();
  facts.computer_name.clear();
  facts.memory_bytes = 0;
  facts.window_width = 0;
  facts.window_height = 0;
  const auto pieces = report_pieces(facts);
  const auto lines = rendered_lines(pieces);
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[5], L"{0/7}         {7/0}  User: {14/0}");
  EXPECT_EQ(lines[6], L"{0/7}         {7/0}  Computer Name: {14/0}");
  EXPECT_EQ(lines[7], L"{0/7}         {7/0}  Memory: {14/0}0 MB");
  EXPECT_EQ(lines[9], L"{0/7}         {7/0}  Console: {14/0}0x0 characters");
}

TEST(InfoReport, EndsInYellowOnBlack) {
  const auto pieces = report_pieces(sample_facts());
  int text = -1;
  int background = -1;
  for (const auto& piece : pieces) {
    if (piece.text_colour >= 0) {
      text = piece.text_colour;
      background = piece.background;
    }
  }
  EXPECT_EQ(text, yellow);
  EXPECT_EQ(background, black);
}

}  // namespace
}  // namespace zrn
