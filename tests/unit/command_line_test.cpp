#include "app/command_line.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zrn {
namespace {

struct CommandLineCase {
  const wchar_t* line;
  const wchar_t* search;
  const wchar_t* drive;
  const wchar_t* quick;
  bool help;
  bool info;
};

// Each line starts with the program's path; the current directory is C:\Work.
const CommandLineCase kCases[] = {
    {L"ZRN my docs", L"my docs", L"C:\\", L"", false, false},
    {L"ZRN my    docs", L"my docs", L"C:\\", L"", false, false},
    {L"ZRN \"my docs\"", L"my docs", L"C:\\", L"", false, false},
    {L"ZRN \"my    docs\"", L"my    docs", L"C:\\", L"", false, false},
    {L"ZRN d:proj", L"proj", L"D:\\", L"", false, false},
    {L"ZRN z:proj", L"proj", L"Z:\\", L"", false, false},
    {L"ZRN d:\\proj\\", L"proj", L"D:\\", L"", false, false},
    {L"ZRN proj", L"proj", L"C:\\", L"", false, false},
    {L"ZRN windows\\", L"windows", L"C:\\", L"", false, false},
    {L"ZRN windows\\ /x", L"windows", L"C:\\", L"", false, false},
    {L"ZRN c:", L"", L"C:\\", L"", false, false},
    {L"ZRN docs /qd", L"docs", L"C:\\", L"D", false, false},
    {L"ZRN docs /q", L"docs", L"C:\\", L"", false, false},
    {L"ZRN docs /Q12", L"docs", L"C:\\", L"", false, false},
    {L"ZRN docs /QZ", L"docs", L"C:\\", L"Z", false, false},
    {L"ZRN /QD docs", L"", L"C:\\", L"", false, false},
    {L"ZRN docs / info", L"docs", L"C:\\", L"", false, true},
    {L"ZRN docs /** /info", L"docs", L"C:\\", L"", false, false},
    {L"ZRN info", L"info", L"C:\\", L"", false, true},
    {L"ZRN ?", L"?", L"C:\\", L"", true, false},
    {L"ZRN qd", L"qd", L"C:\\", L"D", false, false},
    {L"ZRN qd /x", L"qd", L"C:\\", L"", false, false},
    {L"ZRN c:/windows", L"", L"C:\\", L"", false, false},
    {L"ZRN \"c:\\my docs\\\"", L"my docs", L"C:\\", L"", false, false},
    {L"ZRN", L"", L"C:\\", L"", false, false},
    {L"ZRN /? /info /qd /q1", L"", L"C:\\", L"1", true, true},
    {L"ZRN /ql", L"", L"C:\\", L"L", false, false},
    {L"ZRN 1:x", L"1:x", L"C:\\", L"", false, false},
    {L"ZRN &:x", L"&:x", L"C:\\", L"", false, false},
    {L"ZRN \u00e9:x", L"\u00e9:x", L"C:\\", L"", false, false},
    {L"\"C:\\Program Files\\ZARNPATH.EXE\" proj", L"proj", L"C:\\", L"", false, false},
    {L"ZRN ab\"c d\"ef", L"abc def", L"C:\\", L"", false, false},
    {L"ZRN \"ab\"cd", L"ab cd", L"C:\\", L"", false, false},
    {L"ZRN \"unbalanced quote", L"unbalanced quote", L"C:\\", L"", false, false},
    {L"ZRN \"", L"", L"C:\\", L"", false, false},
    {L"ZRN ///", L"", L"C:\\", L"", false, false},
    {L"ZRN a\tb", L"a\tb", L"C:\\", L"", false, false},
    {L"ZRN zürich /qé", L"zürich", L"C:\\", L"É", false, false},
    {L"ZRN \\\\", L"", L"C:\\", L"", false, false},
    {L"ZRN \\x\\\\", L"x\\", L"C:\\", L"", false, false},
};

TEST(CommandLine, RebuildSwitchAndEveryDrive) {
  struct Case {
    const wchar_t* line;
    const wchar_t* search;
    const wchar_t* drive;
    bool rebuild;
    bool all_drives;
  };
  const Case cases[] = {
      {L"ZRN /R", L"", L"C:\\", true, false},         {L"ZRN d: /r", L"", L"D:\\", true, false},
      {L"ZRN r", L"r", L"C:\\", false, false},  // only after a typed slash
      {L"ZRN R /x", L"R", L"C:\\", false, false},     {L"ZRN /rx", L"", L"C:\\", false, false},
      {L"ZRN *:proj", L"proj", L"C:\\", false, true}, {L"ZRN *:\\zarn\\src\\", L"zarn\\src", L"C:\\", false, true},
      {L"ZRN *: /R", L"", L"C:\\", true, true},       {L"ZRN x*:proj", L"x*:proj", L"C:\\", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const CommandLine result = interpret_command_line(c.line, L"C:\\Work");
    EXPECT_EQ(result.search_text, c.search);
    EXPECT_EQ(result.drive_root, c.drive);
    EXPECT_EQ(result.rebuild, c.rebuild);
    EXPECT_EQ(result.all_drives, c.all_drives);
  }
}

void expect_case(const CommandLine& result, const CommandLineCase& c) {
  EXPECT_EQ(result.search_text, c.search);
  EXPECT_EQ(result.drive_root, c.drive);
  EXPECT_EQ(result.quick_switch, c.quick);
  EXPECT_EQ(result.help, c.help);
  EXPECT_EQ(result.info, c.info);
}

TEST(CommandLine, InterpretsTheLineAsTyped) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "line: " << testing::PrintToString(std::wstring(c.line)));
    expect_case(interpret_command_line(c.line, L"C:\\Work"), c);
  }
}

TEST(CommandLine, ReadsTheWordsTheWrappersEchoCaptured) {
  // cmd's echo: the prompt's line end, then the rem line with what followed
  // ZRN between the two marks, and a blank.
  for (const auto& c : kCases) {
    const std::wstring line = c.line;
    if (!line.starts_with(L"ZRN")) continue;
    SCOPED_TRACE(testing::Message() << "line: " << testing::PrintToString(line));
    const std::wstring echo = L"\r\n\r\nrem ZRN-WORDS #" + line.substr(line.size() > 3 ? 4 : 3) + L"# \r\n";
    const auto words = captured_words(echo + echo);
    ASSERT_TRUE(words);
    expect_case(interpret_command_words(*words, L"C:\\Work"), c);
  }
  using Words = std::vector<std::wstring>;
  EXPECT_EQ(captured_words(L"rem ZRN-WORDS #C# #x# \r\nrem ZRN-WORDS #C# #x#"), (Words{L"", L"C#", L"#x"}));
  // Under two loop letters (a, then b), cmd's echo read "%~dpa" in one and
  // "%~tb" in the other as loop-variable text: no words are taken.
  for (const wchar_t* echoed :
       {L"", L"rem ZRN-WORDS #x#", L"rem ZRN-WORDS x#\r\nrem ZRN-WORDS x#",
        L"rem ZRN-WORDS #x\r\n#\r\nrem ZRN-WORDS #x", L"rem ZRN-WORDS #100C:\\Work\\ta#\r\nrem ZRN-WORDS #100%~dpata#",
        L"rem ZRN-WORDS #x %~tb#\r\nrem ZRN-WORDS #x 01/02/2026 10:00#"}) {
    EXPECT_FALSE(captured_words(echoed)) << echoed;
  }
}

TEST(CommandLine, DriveRootFromNetworkShareAndShortDirectories) {
  EXPECT_EQ(interpret_command_line(L"ZRN x", L"\\\\server\\share").drive_root, L"\\\\S\\");
  EXPECT_EQ(interpret_command_line(L"ZRN x", L"D:").drive_root, L"D:\\");
  EXPECT_EQ(interpret_command_line(L"ZRN x", L"").drive_root, L"\\");
}

TEST(CommandLine, SplitsWordsByTheQuoteRules) {
  using Words = std::vector<std::wstring>;
  EXPECT_EQ(split_command_words(L"a \"\" b"), (Words{L"a", L"", L"b"}));
  EXPECT_EQ(split_command_words(L"\"ab\"cd ef  "), (Words{L"ab", L"cd", L"ef"}));
  EXPECT_EQ(split_command_words(L"x\"a b\"y\"c"), (Words{L"xa byc"}));
  EXPECT_EQ(split_command_words(L"   "), Words{});
}

// The wrapper's words as the shell's environment holds them for one test.
std::map<std::wstring, std::wstring> g_variables;
std::optional<std::wstring> test_variable(const std::wstring& name) {
  const auto found = g_variables.find(name);
  if (found == g_variables.end()) return std::nullopt;
  return found->second;
}

TEST(CommandLine, WordsFromTheWrapper) {
  g_variables = {};
  EXPECT_FALSE(wrapper_words(test_variable));
  for (const wchar_t* count : {L"", L"x", L"-1", L"99999999999999999999"}) {
    g_variables = {{L"ZRN_ARGC", count}};
    EXPECT_FALSE(wrapper_words(test_variable)) << count;
  }
  // Each word stays one word, its quotes gone, whatever it holds; a missing
  // one is empty.
  g_variables = {{L"ZRN_ARGC", L"4"}, {L"ZRN_ARG1", L"R&md INJW"}, {L"ZRN_ARG2", L"x\"y z\"w"}, {L"ZRN_ARG4", L"/q3"}};
  const auto words = wrapper_words(test_variable);
  ASSERT_TRUE(words);
  EXPECT_EQ(*words, (std::vector<std::wstring>{L"", L"R&md INJW", L"xy zw", L"", L"/q3"}));
  const CommandLine result = interpret_command_words(*words, L"C:\\Work");
  EXPECT_EQ(result.search_text, L"R&md INJW xy zw");
  EXPECT_EQ(result.quick_switch, L"3");
  g_variables = {{L"ZRN_ARGC", L"1"}, {L"ZRN_ARG1", L"my    docs"}};
  EXPECT_EQ(interpret_command_words(*wrapper_words(test_variable), L"C:\\Work").search_text, L"my    docs");
}

TEST(CommandLine, VeryLongLineIsAccepted) {
  const std::wstring line = L"ZRN " + std::wstring(32000, L'x') + L" /qd";
  const auto result = interpret_command_line(line, L"C:\\Work");
  EXPECT_EQ(result.search_text.size(), 32000u);
  EXPECT_EQ(result.quick_switch, L"D");
}

}  // namespace
}  // namespace zrn
