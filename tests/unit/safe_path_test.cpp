#include "handoff/safe_path.h"

#include <gtest/gtest.h>

#include <string>

#include "app/program_state.h"
#include "handoff/change_script.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zrn {
namespace {

TEST(SafePath, PlausibleDirectoriesAndIndexLines) {
  struct Case {
    std::wstring path;
    bool directory;
    bool index_line;
  };
  const std::wstring longest = L"D:\\" + std::wstring(kLongestDirectory - 3, L'x');
  const Case cases[] = {
      {L"C:\\Work\\Reports", true, true},
      {L"D:\\Home\\Documents\\", true, true},
      {L"..\\up\\", true, true},
      {L"D:\\R&D 100% (x) ^!;,=' done", true, true},
      {L"D:\\wf1\uFF02\uFF06md INJ\uFF06\uFF02 \u02BA", true, true},
      {L"C:\\\xD83D\xDE00 smile", true, true},
      {longest, true, true},
      {longest + L"x", false, false},
      {L"", false, false},
      {L"D:\\data?", false, true},
      {L"D:\\photos\"&md INJX&\"", false, false},
      {L"D:\\a<b", false, false},
      {L"D:\\a>b", false, false},
      {L"D:\\a|b", false, false},
      {L"D:\\a*", false, false},
      {std::wstring(L"D:\\a\0b", 6), false, false},
      {L"D:\\a\x1b[2Jb", false, false},
      {L"D:\\a\tb", false, false},
      {L"D:\\a\r\nmd INJ", false, false},
      {L"D:\\a\x1f", false, false},
      {L"D:\\lone\xD83D", false, false},
      {L"D:\\lone\xDE00x", false, false},
      {L"D:\\swapped\xDE00\xD83D", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::to_utf8(c.path.substr(0, 40)) + " of " + std::to_string(c.path.size()));
    EXPECT_EQ(plausible_directory(c.path), c.directory);
    EXPECT_EQ(plausible_index_line(c.path), c.index_line);
  }
}

// The last gate before the shell: whoever chose the directory, a path that no
// directory can have leaves the script as reset.
TEST(SafePath, ChangeScriptRefusesAnImplausibleDirectory) {
  auto& s = state();
  const ProgramState saved = s;
  s.change_script_path = platform::temp_path() + L"zrn-safe-path-test.BAT";
  for (const wchar_t* chosen : {L"D:\\photos\"&md INJX&\"", L"D:\\data?", L""}) {
    SCOPED_TRACE(platform::to_utf8(chosen));
    reset_change_script();
    s.chosen_directory = chosen;
    write_change_script();
    EXPECT_EQ(platform::read_whole_file(s.change_script_path), reset_script_bytes());
  }
  s.chosen_directory = L"D:\\Good";
  write_change_script();
  EXPECT_EQ(platform::read_whole_file(s.change_script_path), change_script_bytes(L"D:\\Good"));
  platform::delete_file(s.change_script_path);
  s = saved;
}

}  // namespace
}  // namespace zrn
