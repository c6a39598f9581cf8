#include "handoff/change_script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/help_text.h"
#include "handoff/run_folder.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zrn {
namespace {

TEST(ChangeScript, ResetIsElevenBytes) { EXPECT_EQ(reset_script_bytes(), "@echo off\r\n"); }

// The lines that move the shell to a directory and confirm it only then.
std::string change(const char* chdir_argument, const char* confirmed) {
  return std::string("(call )\r\nchdir /D \"") + chdir_argument +
         "\"\r\nif not errorlevel 1 echo Directory has been changed to " + confirmed + "\r\n";
}

TEST(ChangeScript, WritesEscapedLinesAsUtf8) {
  struct Case {
    const wchar_t* directory;
    const char* chdir_argument;
    const char* confirmed;
  };
  const Case cases[] = {
      {L"C:\\Temp", "C:\\Temp", "C:\\Temp"},
      {L"D:\\Home\\Documents\\", "D:\\Home\\Documents\\", "D:\\Home\\Documents\\"},
      {L"D:\\a&b", "D:\\a&b", "D:\\a^&b"},
      {L"D:\\50% (x)|<y>^z", "D:\\50%% (x)|<y>^z", "D:\\50%% ^(x^)^|^<y^>^^z"},
      {L"D:\\%PATH%", "D:\\%%PATH%%", "D:\\%%PATH%%"},
      {L"C:\\Caf\u00e9", "C:\\Caf\xC3\xA9", "C:\\Caf\xC3\xA9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.confirmed);
    EXPECT_EQ(change_script_bytes(c.directory), "@echo off\r\n" + change(c.chdir_argument, c.confirmed));
  }
}

TEST(ChangeScript, ExclamationMarkTakesTheDelayedWayWhenExpansionIsOn) {
  EXPECT_EQ(change_script_bytes(L"D:\\d1!zz!x^%"),
            "@echo off\r\n"
            "if \"!!\"==\"\" goto zrn_delayed\r\n" +
                change("D:\\d1!zz!x^%%", "D:\\d1!zz!x^^%%") +
                "goto zrn_done\r\n"
                ":zrn_delayed\r\n"
                "set \"ZRN_DIR=D:\\d1^!zz^!x^^%%\"\r\n" +
                change("!ZRN_DIR!", "!ZRN_DIR!") +
                "set \"ZRN_DIR=\"\r\n"
                ":zrn_done\r\n");
}

// The script is in the console's code page when the path fits it, with no
// chcp at all; only a path that needs UTF-8 switches, by chcp's full path.
TEST(ChangeScript, ConsoleCodePageOrChcpByItsFullPath) {
  const std::string chcp = "\"C:\\windows\\system32\\chcp.com\" ";
  struct Case {
    const wchar_t* directory;
    unsigned code_page;
    const wchar_t* chcp;
    std::string expected;
  };
  const Case cases[] = {
      {L"C:\\x", 850, L"C:\\windows\\system32\\chcp.com", "@echo off\r\n" + change("C:\\x", "C:\\x")},
      {L"C:\\Caf\u00e9", 437, L"C:\\windows\\system32\\chcp.com",
       "@echo off\r\n" + change("C:\\Caf\x82", "C:\\Caf\x82")},
      {L"C:\\Caf\u00e9", 1252, L"", "@echo off\r\n" + change("C:\\Caf\xE9", "C:\\Caf\xE9")},
      {L"C:\\\u0416", 437, L"C:\\windows\\system32\\chcp.com",
       "@echo off\r\n" + chcp + "65001 >nul\r\n" + change("C:\\\xD0\x96", "C:\\\xD0\x96") + chcp + "437 >nul\r\n"},
      // A look-alike never stands in: U+0100 has no byte of its own in 437.
      {L"C:\\\u0100", 437, L"C:\\windows\\system32\\chcp.com",
       "@echo off\r\n" + chcp + "65001 >nul\r\n" + change("C:\\\xC4\x80", "C:\\\xC4\x80") + chcp + "437 >nul\r\n"},
      // No chcp that cmd would read as it stands: none at all.
      {L"C:\\\u0416", 437, L"C:\\win!dows\\chcp.com", "@echo off\r\n" + change("C:\\\xD0\x96", "C:\\\xD0\x96")},
      {L"C:\\\u0416", 437, L"", "@echo off\r\n" + change("C:\\\xD0\x96", "C:\\\xD0\x96")},
      {L"C:\\\u0416", 65001, L"C:\\windows\\system32\\chcp.com",
       "@echo off\r\n" + change("C:\\\xD0\x96", "C:\\\xD0\x96")},
      {L"C:\\\u0416", 0, L"C:\\windows\\system32\\chcp.com", "@echo off\r\n" + change("C:\\\xD0\x96", "C:\\\xD0\x96")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::to_utf8(c.directory) + " in " + std::to_string(c.code_page));
    EXPECT_EQ(change_script_bytes(c.directory, c.code_page, c.chcp), c.expected);
  }
}

TEST(ChangeScript, OnlyARunFolderOfTheTemporaryFolderTakesTheScript) {
  const std::wstring temp = L"C:\\Users\\Anna\\AppData\\Local\\Temp\\";
  const std::wstring beside = L"C:\\Zarnpath\\ZRN2.BAT";
  for (const std::wstring& named :
       {temp + L"ZRN-1-2-1\\ZRN2.BAT", std::wstring(L"c:\\users\\anna\\appdata\\local\\temp\\zrn-x\\zrn2.bat")}) {
    EXPECT_EQ(change_script_path_for(named, temp, L"C:\\Zarnpath\\"), named);
  }
  EXPECT_EQ(change_script_path_for(std::nullopt, temp, L"C:\\Zarnpath\\"), beside);
  for (const std::wstring named :
       {L"", L"C:\\Users\\Anna\\notes.txt", L"ZRN-1\\notes.txt", L"ZRN2.BAT", L"ZRN-\\ZRN2.BAT", L"other\\ZRN2.BAT",
        L"ZRN-1\\sub\\ZRN2.BAT", L"ZRN-1\\..\\..\\ZRN2.BAT", L"ZRN-1/../../x\\ZRN2.BAT", L"ZRN-1\\ZRN2.BAT:x",
        L"ZRN-1\\ZRN2.BAT."}) {
    EXPECT_EQ(change_script_path_for(temp + named, temp, L"C:\\Zarnpath\\"), beside) << named;
  }
  EXPECT_EQ(change_script_path_for(temp + L"ZRN-1\\ZRN2.BAT", L"", L"C:\\Zarnpath\\"), beside);
  EXPECT_EQ(run_token(L"0123456789"), L"0123456789");
  for (const wchar_t* token :
       {L"", L"12 34", L"1\r\necho x", L"12345678901234567890123456789012345678901234567890123456789012345"}) {
    EXPECT_FALSE(run_token(token)) << token;
  }
  EXPECT_FALSE(run_token(std::nullopt));
}

TEST(RunFolder, OnlyOldFoldersAndFilesOfRunsAreSwept) {
  constexpr std::int64_t kDay = 24 * 60 * 60;
  EXPECT_TRUE(is_stale_run_folder(L"ZRN-1-2-3", false, kDay + 1));
  EXPECT_TRUE(is_stale_run_folder(L"zrn-x", false, 30 * kDay));
  EXPECT_FALSE(is_stale_run_folder(L"ZRN-1-2-3", false, kDay));
  EXPECT_FALSE(is_stale_run_folder(L"ZRN-1-2-3", true, 30 * kDay));
  EXPECT_FALSE(is_stale_run_folder(L"ZRN-", false, 30 * kDay));
  EXPECT_FALSE(is_stale_run_folder(L"Photos", false, 30 * kDay));
  for (const wchar_t* name : {L"ZRN2.BAT", L"zrnargs.txt", L"0123.OK", L"9.ok"}) EXPECT_TRUE(is_run_file_name(name));
  for (const wchar_t* name : {L"mine.txt", L".OK", L"x1.OK", L"1.OK.txt", L"ZRN2.BAT.lnk"}) {
    EXPECT_FALSE(is_run_file_name(name)) << name;
  }
}

// However many folders come first that nobody can remove, every stale
// folder has its turn.
TEST(RunFolder, EachSweepStartsElsewhere) {
  struct Case {
    std::size_t candidates, most;
    std::uint64_t turn;
    std::vector<std::size_t> taken;
  };
  const Case cases[] = {
      {0, 64, 7, {}},
      {3, 64, 7, {1, 2, 0}},
      {5, 2, 3, {3, 4}},
      {5, 2, 9, {4, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(sweep_turn(c.candidates, c.most, c.turn), c.taken) << c.turn;
}

// The captured words are read only from a file of the user's own.
TEST(RunFolder, AFileTheUserMadeIsTheUsers) {
  const std::wstring path = platform::temp_path() + L"zrn-owner-test.txt";
  ASSERT_TRUE(platform::write_whole_file(path, "x"));
  EXPECT_TRUE(platform::owned_by_user(path));
  EXPECT_FALSE(platform::owned_by_user(platform::temp_path()));
  platform::delete_file(path);
  EXPECT_FALSE(platform::owned_by_user(path));
}

TEST(HelpText, SixteenLinesWithDescriptionsAtColumnThirteen) {
  const auto lines = help_lines(L"ZRN - Zarnpath");
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[1], L"ZRN - Zarnpath Help");
  EXPECT_EQ(lines[3], L"ZRN [drive:] directory [switches]");
  EXPECT_EQ(lines[7], L"\t/Q0../Q9   Change To QuickMap x, see ZRN.INI To Define these QuickDIRS");
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
