#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ini_file.h"

namespace zrn {
namespace {

TEST(ConfigIniLine, ClassifiesEachKindOfLine) {
  struct Case {
    const wchar_t* line;
    IniLineKind kind;
    const wchar_t* name;
    const wchar_t* value;
  };
  const Case cases[] = {
      {L"", IniLineKind::empty, L"", L""},
      {L" \t ", IniLineKind::empty, L"", L""},
      {L"; remark", IniLineKind::comment, L"", L""},
      {L"\t  ;Q1=D:\\A", IniLineKind::comment, L"", L""},
      {L"[QuickDIR]", IniLineKind::group, L"QuickDIR", L""},
      {L"  [ QuickDIR ] trailing", IniLineKind::group, L" QuickDIR ", L""},
      {L"[open", IniLineKind::group, L"open", L""},
      {L"[", IniLineKind::group, L"", L""},
      {L"[]", IniLineKind::group, L"", L""},
      {L"[a]b]", IniLineKind::group, L"a", L""},
      {L"Q3 = D:\\Work ; my work files", IniLineKind::key, L"Q3", L"D:\\Work ; my work files"},
      {L"Q2 = D:\\Work   ", IniLineKind::key, L"Q2", L"D:\\Work"},
      {L"key\t=\tvalue\t", IniLineKind::key, L"key", L"value"},
      {L"a=b=c", IniLineKind::key, L"a", L"b=c"},
      {L"=", IniLineKind::key, L"", L""},
      {L"= value", IniLineKind::key, L"", L"value"},
      {L"  Temp  ", IniLineKind::key, L"Temp", L""},
      {L"Backup ; old copies", IniLineKind::key, L"Backup ; old copies", L""},
      {L"Q4=;", IniLineKind::key, L"Q4", L";"},
      {L"x;y=[z]", IniLineKind::key, L"x;y", L"[z]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const IniLine line = classify_ini_line(c.line);
    EXPECT_EQ(line.kind, c.kind);
    EXPECT_EQ(line.name, c.name);
    EXPECT_EQ(line.value, c.value);
  }
}

std::vector<std::wstring> visited_names(std::wstring_view text) {
  std::vector<std::wstring> names;
  for_each_ini_line(text, [&](const IniLine& line) { names.emplace_back(line.name); });
  return names;
}

TEST(ConfigIniLine, AnyLineEndEndsALineAndEmptyLinesAreSkipped) {
  const std::vector<std::wstring> expected = {L"a", L"b", L"c", L"d"};
  EXPECT_EQ(visited_names(L"a\r\nb\r\nc\r\nd"), expected);
  EXPECT_EQ(visited_names(L"a\nb\nc\nd\n"), expected);
  EXPECT_EQ(visited_names(L"a\rb\rc\rd\r"), expected);
  EXPECT_EQ(visited_names(L"\n\na\r\n\r\nb\n\rc\r\r\nd"), expected);
  EXPECT_TRUE(visited_names(L"").empty());
  EXPECT_TRUE(visited_names(L"\r\n\n\r").empty());
}

TEST(ConfigIniName, OnlyAsciiLettersIgnoreCase) {
  struct Case {
    const wchar_t* a;
    const wchar_t* b;
    bool equal;
  };
  const Case cases[] = {
      {L"QuickDIR", L"quickdir", true},
      {L"QUICKDIR", L"QuickDIR", true},
      {L"q3", L"Q3", true},
      {L"QuickDIR", L" QuickDIR ", false},
      {L"QuickDIR", L"QuickDIRS", false},
      {L"", L"", true},
      {L"Q[", L"q{", false},  // '[' and '{' are 32 apart, but are not letters
      {L"\u00c9t\u00e9", L"\u00e9t\u00e9", false},
      {L"\u00e9t\u00e9", L"\u00e9T\u00e9", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::wstring(c.a) + L" / " + c.b);
    EXPECT_EQ(ini_names_equal(c.a, c.b), c.equal);
    EXPECT_EQ(ini_names_equal(c.b, c.a), c.equal);
  }
}

TEST(ConfigIniNumber, ReadsTheLeadingIntegerModulo65536) {
  struct Case {
    const wchar_t* value;
    std::uint16_t number;
  };
  const Case cases[] = {
      {L"3", 3},
      {L"3 weeks", 3},
      {L"12x", 12},
      {L"+7", 7},
      {L"-1", 65535},
      {L"-65536", 0},
      {L"65535", 65535},
      {L"65536", 0},
      {L"70000", 4464},
      {L"99999999999", 59391},
      {L"-99999999999", 6145},
      {L"000000000000000000000000000000000000000042", 42},
      {L"often", 0},
      {L"", 0},
      {L"-", 0},
      {L"+", 0},
      {L"--1", 0},
      {L"- 1", 0},
      {L" 5", 0},      // blanks are gone before a value reaches here
      {L"\uff15", 0},  // a full-width digit is no decimal digit here
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(ini_number(c.value), c.number);
  }
}

TEST(ConfigIniComment, CutsAtTheFirstSemicolonOnly) {
  struct Case {
    const wchar_t* text;
    const wchar_t* kept;
  };
  const Case cases[] = {
      {L"D:\\Work ; my work files", L"D:\\Work"},
      {L";", L""},
      {L"  ; x", L""},
      {L"D:\\A\t\tB ;x", L"D:\\AB"},
      {L"\t D:\\A \t;", L"D:\\A"},
      {L"a;b;c", L"a"},
      {L"D:\\With\tTab", L"D:\\With\tTab"},  // no ';': left as read
      {L"D:\\Plain", L"D:\\Plain"},
      {L"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(cut_comment(c.text), c.kept);
  }
}

}  // namespace
}  // namespace zrn
