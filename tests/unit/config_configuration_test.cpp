#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "config/configuration.h"
#include "platform/text.h"

namespace zrn {
namespace {

struct Expected {
  Expected(std::map<std::size_t, std::wstring> entries_ = {}, std::uint16_t age_limit_ = 0,
           std::vector<std::wstring> exclusions_ = {})
      : entries(std::move(entries_)), age_limit(age_limit_), exclusions(std::move(exclusions_)) {}
  std::map<std::size_t, std::wstring> entries;  // every other entry is empty
  std::uint16_t age_limit;
  std::vector<std::wstring> exclusions;
};

void expect_configuration(const Configuration& actual, const Expected& expected) {
  for (std::size_t i = 0; i < actual.quick_directories.size(); ++i) {
    const auto found = expected.entries.find(i);
    EXPECT_EQ(actual.quick_directories[i], found == expected.entries.end() ? L"" : found->second) << "entry " << i;
  }
  EXPECT_EQ(actual.index_age_limit, expected.age_limit);
  EXPECT_EQ(actual.exclusions, expected.exclusions);
}

TEST(ConfigFile, EdgeCaseTable) {
  struct Case {
    const wchar_t* text;
    Expected expected;
  };
  const Case cases[] = {
      {L"[QuickDIR]\nQ3 = D:\\Work ; my work files", {{{3, L"D:\\Work\\"}}}},
      {L"[QuickDIR]\nQ4=;", {}},
      {L"[QuickDIR]\nQ5 = C:\\", {{{5, L"C:\\"}}}},
      {L"[QuickDIR]\nQ2 = D:\\Work   ", {{{2, L"D:\\Work\\"}}}},
      {L"[QuickDIR]\nQ6=D:\\Data\nQ6=E:\\Data", {{{6, L"D:\\Data\\"}}}},
      {L"[ QuickDIR ]\nQ1=D:\\A", {}},
      {L"[quickdir]\nq1=D:\\A", {{{1, L"D:\\A\\"}}}},
      {L"Q1=D:\\A\n[QuickDIR]", {}},
      {L"[Default]\nIndextime = 3 weeks", {{}, 3}},
      {L"[Default]\nIndextime = often", {{}, 0}},
      {L"[Default]\nIndextime =", {{}, 0}},
      {L"[Default]\nIndextime", {{}, 0}},
      {L"[Default]\nOther=5", {{}, 2}},
      {L"[QuickDIR]\nQ0=C:\\", {{{0, L"C:\\"}}, 0}},
      {L"[exclude]\nTemp\n  Backup ; old copies\nOld=anything", {{}, 0, {L"TEMP", L"BACKUP", L"OLD"}}},
      // All ten keys, in any order, each filling only its own entry.
      {L"[QuickDIR]\nQ9=n\nQ0=z\nQ1=o\nQ2=t\nQ3=h\nQ4=f\nQ5=v\nQ6=s\nQ7=e\nQ8=g\nQ10=x\nQA=y",
       {{{0, L"z\\"},
         {1, L"o\\"},
         {2, L"t\\"},
         {3, L"h\\"},
         {4, L"f\\"},
         {5, L"v\\"},
         {6, L"s\\"},
         {7, L"e\\"},
         {8, L"g\\"},
         {9, L"n\\"}}}},
      // Only the first group of a name counts, and it ends at any group line.
      {L"[QuickDIR]\nQ1=first\n[Other]\nQ2=other\n[QUICKDIR]\nQ1=second\nQ3=second", {{{1, L"first\\"}}}},
      {L"[Default]\n[Default]\nIndextime=9", {{}, 2}},
      {L"[exclude]\nA\n[Other]\nB\n[Exclude]\nC", {{}, 0, {L"A"}}},
      // A key without '=' never takes the next line as its value.
      {L"[QuickDIR]\nQ1\nD:\\Next", {}},
      {L"[QuickDIR]\r\nQ1\r\nQ2=D:\\B\r\n", {{{2, L"D:\\B\\"}}}},
      // Values are literal but for one pair of quotes around the whole path.
      {L"[QuickDIR]\nQ1=\"D:\\Quoted\"\nQ2=..\\up\nQ3=a=b", {{{1, L"D:\\Quoted\\"}, {2, L"..\\up\\"}, {3, L"a=b\\"}}}},
      {L"[QuickDIR]\nQ1=\"D:\\My Blog\" ; mine\nQ2=\"D:\\a\"b\"\nQ3=\"D:\\open\nQ4=\"\"\nQ5=\"",
       {{{1, L"D:\\My Blog\\"}, {2, L"\"D:\\a\"b\"\\"}, {3, L"\"D:\\open\\"}, {5, L"\"\\"}}}},
      {L"[QuickDIR]\nQ1=D:\\A\tB", {{{1, L"D:\\A\tB\\"}}}},
      {L"[QuickDIR]\nQ1=D:\\A\tB;x", {{{1, L"D:\\AB\\"}}}},
      {L"\t[QuickDIR]\n\t  Q1\t=\tD:\\Tabbed\t", {{{1, L"D:\\Tabbed\\"}}}},
      {L"[QuickDIR]\n;Q1=D:\\Commented\nQ1=D:\\Real", {{{1, L"D:\\Real\\"}}}},
      {L"[QuickDIR\nQ1=D:\\Open", {{{1, L"D:\\Open\\"}}}},
      {L"[Default] trailing text\nIndextime=-1", {{}, 65535}},
      {L"[Default]\nIndextime = 99999999999", {{}, 59391}},
      {L"[exclude]\n; remark\n  Node_Modules  \nwith space=1\n\t;x", {{}, 0, {L"NODE_MODULES", L"WITH SPACE"}}},
      // An empty word would be found in every path: none is added.
      {L"[exclude]\n=\n=x\n ;\nx;y\n\t;", {{}, 0, {L"X"}}},
      {L"[exclude]\ncaf\u00e9", {{}, 0, {L"CAF\u00c9"}}},
      {L"", {}},
      {L"[", {}},
      {L"=", {}},
      {L"Q1=D:\\A\nIndextime=5\nTemp", {}},
      {L"[]\n=\n[=]\n;", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    expect_configuration(parse_configuration(c.text), c.expected);
  }
}

TEST(ConfigFile, OrderAndChangeKeys) {
  const std::tuple<const wchar_t*, bool, bool> cases[] = {
      {L"[default]\norder=LEARNED ; mine\nchange=PushD", true, true},
      {L"[Default]\nOrder = found\nOrder = learned\nChange = chdir", false, false},  // the first line counts
      {L"[Default]\nOrder = learned x\nChange =", false, false},
      {L"[Other]\nOrder = learned\nChange = pushd", false, false},
  };
  for (const auto& [text, learned, pushd] : cases) {
    const Configuration configuration = parse_configuration(text);
    EXPECT_EQ(configuration.learned_order, learned) << platform::to_utf8(text);
    EXPECT_EQ(configuration.change_with_pushd, pushd) << platform::to_utf8(text);
  }
}

TEST(ConfigFile, Utf8WithMarkReadsNonAsciiNames) {
  const std::string bytes = "\xEF\xBB\xBF[QuickDIR]\r\nQ1=D:\\Caf\xC3\xA9\r\n[exclude]\r\n\xC3\xA9t\xC3\xA9\r\n";
  const Configuration configuration = parse_configuration(decode_configuration(bytes));
  EXPECT_EQ(configuration.quick_directories[1], L"D:\\Caf\u00e9\\");
  EXPECT_EQ(configuration.exclusions, std::vector<std::wstring>{L"\u00c9T\u00c9"});
}

TEST(ConfigFile, EncodingFollowsTheMarkThenTheBytes) {
  const auto utf16 = [](std::u16string_view text, bool big_endian) {
    std::string bytes;
    for (const char16_t unit : text) {
      const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
      bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
  };
  struct Case {
    std::string bytes;
    std::wstring text;
  };
  const Case cases[] = {
      {"Q1=D:\\J\xC3\xB6rg", L"Q1=D:\\J\u00f6rg"},
      {"Q1=D:\\J\xF6rg", L"Q1=D:\\J" + platform::from_ansi("\xF6") + L"rg"},
      {"\xC3\xA9\xE9", platform::from_ansi("\xC3\xA9\xE9")},  // one stray byte makes it ANSI
      {"\xC0\xAF", platform::from_ansi("\xC0\xAF")},          // overlong
      {"\xED\xA0\x80", platform::from_ansi("\xED\xA0\x80")},  // half of a surrogate pair
      {"\xF0\x9F\x98", platform::from_ansi("\xF0\x9F\x98")},  // cut short
      {"\xF0\x9F\x98\x80", L"\U0001F600"},
      {utf16(u"\uFEFFQ1=D:\\J\u00f6rg\r\n", false), L"Q1=D:\\J\u00f6rg\r\n"},
      {utf16(u"\uFEFFQ1=\u4e2d", true), L"Q1=\u4e2d"},
      {utf16(u"\uFEFFQ1", false) + "\x41", L"Q1"},  // an odd last byte is no character
      {std::string("\xFF\xFEQ\0"
                   "1\0\0\0"
                   "2\0",
                   10),
       L"Q1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(decode_configuration(c.bytes), c.text);
  }
}

TEST(ConfigFile, TextEndsAtTheFirstZeroByte) {
  EXPECT_EQ(decode_configuration(std::string("[Default]\nIndextime=4\0\nmore", 26)), L"[Default]\nIndextime=4");
  EXPECT_EQ(decode_configuration(std::string("\xEF\xBB\xBFQ1\0Q2", 8)), L"Q1");
  EXPECT_EQ(decode_configuration(""), L"");
  EXPECT_EQ(decode_configuration("\xEF\xBB\xBF"), L"");
  EXPECT_EQ(decode_configuration("\xEF\xBB"), platform::from_ansi("\xEF\xBB"));  // not UTF-8: cut short
}

TEST(ConfigFile, LineFeedsOnlyReadLikeCarriageReturnLineFeed) {
  const std::string crlf =
      "[QuickDIR]\r\nQ1=D:\\One\r\nQ2\r\nQ3=D:\\Three ; x\r\n[Default]\r\nIndextime=6\r\n[exclude]\r\nTmp\r\n";
  std::string lf;
  for (const char c : crlf) {
    if (c != '\r') lf += c;
  }
  const Configuration a = parse_configuration(decode_configuration(crlf));
  const Configuration b = parse_configuration(decode_configuration(lf));
  EXPECT_EQ(a.quick_directories, b.quick_directories);
  EXPECT_EQ(a.index_age_limit, b.index_age_limit);
  EXPECT_EQ(a.exclusions, b.exclusions);
  expect_configuration(b, {{{1, L"D:\\One\\"}, {3, L"D:\\Three\\"}}, 6, {L"TMP"}});
}

TEST(ConfigFile, LongLinesAndManyLinesAreRead) {
  std::wstring text = L"[QuickDIR]\nQ1=" + std::wstring(100000, L'x') + L"\n";
  for (int i = 0; i < 200000; ++i) text += L"[g]\n";
  text += L"[Default]\nIndextime=7\n";
  const Configuration configuration = parse_configuration(text);
  EXPECT_EQ(configuration.quick_directories[1].size(), 100001u);
  EXPECT_EQ(configuration.index_age_limit, 7);
}

TEST(ConfigFile, AHugeFileIsCutAfterItsLastWholeLineAndItsWords) {
  const std::size_t limit = kMostConfigurationBytes;
  const std::string cut_line = std::string(limit - 4, 'x') + "\r\nQ3=D:\\Work\\Old";
  EXPECT_EQ(keep_whole_lines("short\r\nfile"), "short\r\nfile");
  EXPECT_EQ(keep_whole_lines(std::string(limit, 'x')).size(), limit);
  EXPECT_EQ(keep_whole_lines(cut_line.substr(0, limit + 1)).size(), limit - 3);
  EXPECT_EQ(keep_whole_lines(std::string(limit, 'x') + "\n").size(), limit);
  EXPECT_EQ(keep_whole_lines(std::string(limit + 1, 'x')).size(), 0u);
  std::wstring text = L"[exclude]\n";
  for (std::size_t i = 0; i <= kMostConfiguredExclusions; ++i) text += L"w" + std::to_wstring(i) + L"\n";
  EXPECT_EQ(parse_configuration(text).exclusions.size(), kMostConfiguredExclusions);
}

}  // namespace
}  // namespace zrn
