#include <gtest/gtest.h>

#include <clocale>
#include <random>
#include <string>
#include <vector>

#include "handoff/safe_path.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/text.h"
#include "search/contains_text.h"
#include "search/index_scan.h"
#include "search/path_resolution.h"

namespace zrn {
namespace {

// The program selects the user's locale at start-up; the accented cases need
// it here too.
class SearchMatching : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { std::setlocale(LC_ALL, ""); }
};

TEST_F(SearchMatching, ContainsTextPositions) {
  struct Case {
    const wchar_t* text;
    const wchar_t* search;
    std::size_t start;
    std::size_t expected;
  };
  const Case cases[] = {
      {L"Documents", L"doc", 1, 1},
      {L"MyDocuments", L"DOC", 1, 3},
      {L"MyDocuments", L"docs", 1, 0},
      {L"Downloads", L"DOWNLOADS", 1, 1},
      {L"docs docs", L"docs", 2, 6},
      {L"docs docs", L"docs", 6, 6},
      {L"docs docs", L"docs", 7, 0},
      {L"docs", L"docs", 0, 1},
      {L"abc", L"c", 3, 3},
      {L"abc", L"c", 4, 0},
      {L"ab", L"abc", 1, 0},
      {L"", L"a", 1, 0},
      {L"abc", L"", 1, 0},
      {L"", L"", 1, 0},
      {L"My Docs", L"my docs", 1, 1},
      {L"MyDocs", L"my docs", 1, 0},
      {L"aaab", L"aab", 1, 2},
      {L"Caf\u00c9", L"caf\u00e9", 1, 1},
      {L"\u00c9t\u00e9", L"\u00e9T\u00c9", 1, 1},
      {L"Z\u00fcrich", L"Z\u00dcR", 1, 1},
      {L"Zurich", L"Z\u00fc", 1, 0},
      {L"\u00c5ngstr\u00f6m", L"\u00e5NGSTR\u00d6M", 1, 1},
      {L"C:\\a\\b", L"\\B", 1, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text=" << platform::to_utf8(c.text) << " search=" << platform::to_utf8(c.search)
                                    << " start=" << c.start);
    EXPECT_EQ(contains_text(c.text, c.search, c.start), c.expected);
  }
}

TEST_F(SearchMatching, IndexLineAcceptance) {
  struct Case {
    const wchar_t* line;
    const wchar_t* search;
    bool accepted;
  };
  const Case cases[] = {
      {L"C:\\Users\\Ann\\Documents", L"docs", false},
      {L"C:\\Users\\Ann\\Documents", L"docu", true},
      {L"C:\\Docs\\MyDocs", L"docs", false},
      {L"C:\\Docs\\MyDocs", L"mydocs", true},
      {L"C:\\Docs", L"docs", true},
      {L"C:\\Work\\My Docs", L"my docs", true},
      {L"C:\\Work\\MyDocs", L"my docs", false},
      {L"C:\\My Docs\\Old", L"my docs", false},
      {L"C:\\Users\\Ann\\Downloads", L"DOWNLOADS", true},
      {L"C:\\Work\\Proj\\Proj", L"proj", false},
      {L"C:\\Work\\Caf\u00e9", L"CAF\u00c9", true},
      {L"", L"docs", false},
      {L"C:\\Docs", L"", false},
      // A path query: its parts in successive components.
      {L"C:\\Work\\a\\b", L"a\\b", true},
      {L"D:\\P\\zarn-web\\src", L"zarn\\src", true},
      {L"D:\\P\\zarn-web\\old\\src", L"zarn\\src", false},  // successive components only
      {L"D:\\P\\zarn-web\\src\\lib", L"zarn\\src", false},  // the last part in the last component
      {L"D:\\P\\ZARN\\my src x", L"zarn\\SRC", true},       // anywhere in it, any case
      {L"D:\\src\\zarn\\src", L"zarn\\src", true},          // an earlier occurrence does not matter
      {L"D:\\a\\b\\c", L"a\\c", false},
      {L"D:\\b\\c", L"d:\\b\\c", false},         // the drive is no component
      {L"D:\\my docs\\x", L"my docs\\x", true},  // blanks are part of a part
      {L"D:\\Caf\u00c9\\N", L"caf\u00e9\\n", true},
      {L"D:\\a\\b", L"a\\\\b", true},  // empty parts are left out
      {L"D:\\a\\b", L"\\\\", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::to_utf8(c.line) + " / " + platform::to_utf8(c.search));
    EXPECT_EQ(index_line_accepted(c.line, c.search), c.accepted);
  }
}

// The byte scan decides without decoding most lines; it must give exactly
// what decoding every line and applying the rule gives.
std::vector<std::wstring> accepted_by_rule(const std::vector<std::wstring>& lines, std::wstring_view search) {
  std::vector<std::wstring> result;
  for (const auto& line : lines) {
    if (index_line_accepted(line, search)) result.push_back(line);
  }
  return result;
}

std::string index_bytes(const std::vector<std::wstring>& lines, const char* line_end) {
  std::string bytes;
  for (const auto& line : lines) bytes += platform::to_ansi(line) + line_end;
  return bytes;
}

const std::vector<std::wstring> kIndexLines = {
    L"C:\\Docs",
    L"C:\\Docs\\MyDocs",
    L"C:\\Users\\Ann\\Documents",
    L"C:\\Users\\Ann\\Downloads",
    L"C:\\Work\\My Docs",
    L"C:\\Work\\MyDocs",
    L"C:\\Projects\\Caf\u00e9",
    L"C:\\Projects\\CAF\u00c9 Old",
    L"C:\\Projects\\Z\u00fcrich",
    L"C:\\Projects\\ZURICH",
    L"",
    L"C:\\P\\docsdocs\\xdocs",
    L"C:\\P\\dOcS",
    L"C:\\P\\node_modules\\docs\\lib",
    L"C:\\P\\docs\\zarn\\docs",
    L"C:\\zarn-web\\old\\docs",
};

TEST_F(SearchMatching, ByteScanAgreesWithTheRule) {
  const auto characters = platform::ansi_byte_characters();
  if (!characters) GTEST_SKIP() << "the ANSI code page has more than one byte per character";
  for (const wchar_t* search : {L"docs", L"DOCS", L"d", L"s", L"my docs", L"caf\u00e9", L"Z\u00dcRICH", L"\u00e9",
                                L"c:\\", L"\\", L"ocs\\x", L"x", L"\u0142", L"Downloads", L"zarn\\docs", L"P\\docs"}) {
    for (const char* line_end : {"\r\n", "\n", "\r"}) {
      SCOPED_TRACE(platform::to_utf8(search) + (line_end[0] == '\r' ? " CR" : " LF"));
      const IndexScan byte_scan(search, characters);
      const IndexScan decoding_scan(search, std::nullopt);
      std::vector<std::wstring> by_bytes;
      std::vector<std::wstring> by_decoding;
      const std::string bytes = index_bytes(kIndexLines, line_end);
      byte_scan.scan(bytes, by_bytes);
      decoding_scan.scan(bytes, by_decoding);
      EXPECT_EQ(by_bytes, accepted_by_rule(kIndexLines, search));
      EXPECT_EQ(by_decoding, by_bytes);
    }
  }
}

TEST_F(SearchMatching, ByteScanOnRandomLines) {
  const auto characters = platform::ansi_byte_characters();
  if (!characters) GTEST_SKIP() << "the ANSI code page has more than one byte per character";
  std::mt19937 random(7);
  const std::wstring alphabet = L"abAB\\ \u00e9\u00c9xX";
  std::vector<std::wstring> lines;
  for (int i = 0; i < 3000; ++i) {
    std::wstring line;
    const int length = static_cast<int>(random() % 24);
    for (int k = 0; k < length; ++k) line += alphabet[random() % alphabet.size()];
    lines.push_back(line);
  }
  const std::string bytes = index_bytes(lines, "\r\n");
  for (const wchar_t* search : {L"ab", L"BA", L"\u00e9a", L"a b", L"b\\a", L"xx", L"aB\u00c9"}) {
    SCOPED_TRACE(platform::to_utf8(search));
    const IndexScan scan(search, characters);
    std::vector<std::wstring> found;
    scan.scan(bytes, found);
    EXPECT_EQ(found, accepted_by_rule(lines, search));
  }
}

TEST_F(SearchMatching, NothingToFindWhenTheSearchCannotMatch) {
  const auto characters = platform::ansi_byte_characters();
  EXPECT_FALSE(IndexScan(L"", characters).can_match());
  EXPECT_FALSE(IndexScan(L"", std::nullopt).can_match());
  EXPECT_TRUE(IndexScan(L"docs", characters).can_match());
  if (characters) {
    EXPECT_FALSE(IndexScan(L"a\nb", characters).can_match());
  }
}

class IndexFile : public SearchMatching {
 protected:
  void SetUp() override { path_ = platform::temp_path() + L"zrn-index-scan-test.ZRN"; }
  void TearDown() override { platform::delete_file(path_); }
  std::vector<std::wstring> scan_file(const std::string& bytes, const wchar_t* search) {
    EXPECT_TRUE(platform::write_whole_file(path_, bytes));
    const IndexScan scan(search, platform::ansi_byte_characters());
    std::vector<std::wstring> found;
    EXPECT_TRUE(scan_index_file(path_, scan, found));
    return found;
  }
  std::wstring path_;
};

TEST_F(IndexFile, LinesAcrossReadPiecesAndOverLongLinesSkippedWhole) {
  // Lines straddle the one-megabyte pieces. A line longer than a piece is
  // skipped whole, the next line still counts; so is one that fits a piece
  // but no path.
  std::string bytes;
  std::vector<std::wstring> expected;
  for (int i = 0; bytes.size() < 2'500'000; ++i) {
    const std::wstring line = L"C:\\Tree\\Branch " + std::to_wstring(i) + (i % 1000 == 0 ? L"\\Target" : L"\\Leaf");
    if (i % 1000 == 0) expected.push_back(line);
    bytes += platform::to_ansi(line) + "\r\n";
    if (i == 20000) bytes += "C:\\" + std::string(1'500'000, 'a') + "\\TARGET\n";
    if (i == 20001) bytes += "C:\\" + std::string(kIndexReadBytes - 3, 'a') + "\r\n";
    if (i == 20002) bytes += "C:\\" + std::string(kLongestDirectory, 'a') + "\\TARGET\r";
  }
  bytes += "D:\\Last\\target";
  expected.push_back(L"D:\\Last\\target");
  EXPECT_EQ(scan_file(bytes, L"target"), expected);
  // Nor does an over-long last line without a line end hide the lines before.
  EXPECT_EQ(scan_file("D:\\A target\r\nD:\\" + std::string(3'000'000, 't') + "target", L"target"),
            std::vector<std::wstring>{L"D:\\A target"});
}

TEST_F(IndexFile, RandomBytesAndAnEmptyFileDoNotFail) {
  std::mt19937 random(11);
  std::string bytes(300'000, '\0');
  for (auto& b : bytes) b = static_cast<char>(random() & 0xFF);
  const auto found = scan_file(bytes, L"a");
  EXPECT_FALSE(found.empty());
  for (const auto& line : found) EXPECT_TRUE(index_line_accepted(line, L"a"));
  EXPECT_TRUE(scan_file("", L"a").empty());
}

TEST_F(IndexFile, AnIndexThatCannotBeOpenedGivesNothing) {
  const IndexScan scan(L"a", platform::ansi_byte_characters());
  std::vector<std::wstring> found;
  EXPECT_FALSE(scan_index_file(path_ + L"-missing", scan, found));
  EXPECT_FALSE(scan_index_file(platform::temp_path(), scan, found));  // a directory
  EXPECT_TRUE(found.empty());
}

// A code page of ASCII only: every other character is stored as '?'.
std::string ascii_form(std::wstring_view name) {
  std::string bytes;
  for (const wchar_t c : name) bytes += c < 0x80 ? static_cast<char>(c) : '?';
  return bytes;
}

TEST(PathResolution, ComponentsHoldingTheDefaultCharacterBecomeTheRealNames) {
  EXPECT_EQ(lookup_pattern(L"a??b?"), L"a*b*");
  // D:\x holds data1, dataЖ, DATAЯ and data😀; D:\Ж holds süb and sub.
  const DirectoryLookup lookup = [](const std::wstring& pattern) {
    if (pattern == L"D:\\x\\data*") {
      return std::vector<std::wstring>{L"data1", L"data\u0416", L"DATA\u042F", L"data\xD83D\xDE00"};
    }
    if (pattern == L"D:\\*") return std::vector<std::wstring>{L"x", L"\u0416"};
    if (pattern == L"D:\\\u0416\\s*b") return std::vector<std::wstring>{L"s\u00FCb", L"sub"};
    return std::vector<std::wstring>{};
  };
  const struct {
    const wchar_t* line;
    std::vector<std::wstring> paths;
  } cases[] = {
      {L"D:\\x\\data1", {L"D:\\x\\data1"}},
      {L"D:\\x\\data?\\", {L"D:\\x\\data\u0416\\"}},
      {L"D:\\x\\data??", {L"D:\\x\\data\xD83D\xDE00"}},
      {L"D:\\?\\s?b", {L"D:\\\u0416\\s\u00FCb"}},
      {L"D:\\gone\\data?", {}},
      {L"?:\\x\\data?", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(resolve_index_path(c.line, lookup, ascii_form), c.paths) << platform::to_utf8(c.line);
  }
}

// However many lines ask, a folder is read once, and the reads of one
// search stop at the budget.
TEST(PathResolution, LookupsAreCachedAndBudgeted) {
  std::vector<std::wstring> reads;
  const DirectoryLookup lookup = cached_lookup(
      [&](const std::wstring& pattern) {
        reads.push_back(pattern);
        return std::vector<std::wstring>{L"found"};
      },
      2);
  for (const wchar_t* pattern : {L"D:\\a*", L"D:\\a*", L"D:\\b*", L"D:\\a*"}) {
    EXPECT_EQ(lookup(pattern), std::vector<std::wstring>{L"found"});
  }
  EXPECT_TRUE(lookup(L"D:\\c*").empty());
  EXPECT_EQ(reads, (std::vector<std::wstring>{L"D:\\a*", L"D:\\b*"}));
}

}  // namespace
}  // namespace zrn
