#include "handoff/change_script.h"

#include <gtest/gtest.h>

#include "app/help_text.h"

namespace zrn {
namespace {

TEST(ChangeScript, ResetIsElevenBytes) { EXPECT_EQ(reset_script_bytes(), "@echo off\r\n"); }

TEST(ChangeScript, WritesEscapedLinesAsUtf8) {
  struct Case {
    const wchar_t* directory;
    const char* expected;
  };
  const Case cases[] = {
      {L"C:\\Temp", "@echo off\r\necho Directory has been changed to C:\\Temp\r\nchdir /D \"C:\\Temp\"\r\n"},
      {L"D:\\Home\\Documents\\",
       "@echo off\r\necho Directory has been changed to D:\\Home\\Documents\\\r\n"
       "chdir /D \"D:\\Home\\Documents\\\"\r\n"},
      {L"D:\\a&b", "@echo off\r\necho Directory has been changed to D:\\a^&b\r\nchdir /D \"D:\\a&b\"\r\n"},
      {L"D:\\50% (x)|<y>^z",
       "@echo off\r\necho Directory has been changed to D:\\50%% ^(x^)^|^<y^>^^z\r\n"
       "chdir /D \"D:\\50%% (x)|<y>^z\"\r\n"},
      {L"D:\\%PATH%", "@echo off\r\necho Directory has been changed to D:\\%%PATH%%\r\nchdir /D \"D:\\%%PATH%%\"\r\n"},
      {L"C:\\Caf\u00e9",
       "@echo off\r\necho Directory has been changed to C:\\Caf\xC3\xA9\r\nchdir /D \"C:\\Caf\xC3\xA9\"\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(change_script_bytes(c.directory), c.expected);
  }
}

TEST(HelpText, SixteenLinesWithDescriptionsAtColumnThirteen) {
  const auto lines = help_lines(L"ZRN - Zarnpath");
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[1], L"ZRN - Zarnpath Help");
  EXPECT_EQ(lines[3], L"ZRN [drive:] directory [switches]");
  EXPECT_EQ(lines[7], L"\t/Q0../Q9   Change To QuickMap x, see CFG.INI To Define these QuickDIRS");
  EXPECT_EQ(lines[13], L"\t/QX        Quick Change To Program Files");
  for (std::size_t i = 5; i <= 13; ++i) {
    EXPECT_EQ(lines[i][0], L'\t');
    EXPECT_EQ(lines[i][11], L' ');
    EXPECT_NE(lines[i][12], L' ') << i;
  }
  for (const std::size_t i : {0u, 2u, 4u, 14u, 15u}) EXPECT_TRUE(lines[i].empty()) << i;
}

}  // namespace
}  // namespace zrn
