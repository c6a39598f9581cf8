#include "handoff/safe_path.h"

#include <gtest/gtest.h>

#include <string>

#include "handoff/change_script.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zrn {
namespace {

TEST(SafePath, PlausibleDirectoriesAndIndexLines) {
  const std::wstring longest = L"D:\\" + std::wstring(kLongestDirectory - 3, L'x');
  const struct {
    std::wstring path;
    bool directory, index_line;
  } cases[] = {
      {L"D:\\R&D 100% (x) ^!;,=' done\\", true, true},
      {L"D:\\wf1\uFF02\uFF06md INJ\uFF06\uFF02\u02BA \xD83D\xDE00", true, true},
      {longest, true, true},
      {longest + L"x", false, false},
      {L"", false, false},
      {L"D:\\data?", false, true},
      {std::wstring(L"D:\\a\0b", 6), false, false},
      {L"D:\\a\x1f", false, false},
      {L"D:\\a\r\nmd INJ", false, false},
      {L"D:\\lone\xD83D", false, false},
      {L"D:\\lone\xDE00\xD83D", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(plausible_directory(c.path), c.directory) << c.path.size();
    EXPECT_EQ(plausible_index_line(c.path), c.index_line) << c.path.size();
  }
  for (const wchar_t c : std::wstring(L"\"<>|*")) {
    EXPECT_FALSE(plausible_index_line(std::wstring(L"D:\\a") + c + L"b")) << static_cast<char>(c);
  }
}

// Only lines below the index's own drive: nothing that leads to another
// drive, a share, a device or up out of the drive.
TEST(SafePath, IndexLinesStayOnTheirDrive) {
  const struct {
    const wchar_t* line;
    bool accepted;
  } cases[] = {
      {L"E:\\proj", true},
      {L"e:\\Work\\proj. x\\a..b", true},
      {L"C:\\windows\\system32", false},
      {L"E:proj", false},
      {L"E:\\", false},
      {L"\\\\.\\E:\\windows", false},
      {L"\\\\server\\share\\proj", false},
      {L"\\windows\\help", false},
      {L"..\\..\\windows\\temp", false},
      {L"E:\\a\\..\\..\\x", false},
      {L"E:\\a\\.\\x", false},
      {L"E:\\a\\. .\\x", false},
      {L"E:\\a\\\\x", false},
      {L"E:\\a\\", false},
      {L"E:\\a/../../x", false},
      {L"E:\\a\\b:stream", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(index_line_on_drive(c.line, L"E:\\"), c.accepted) << platform::to_utf8(c.line);
  }
}

// A link is followed, but one that leaves the match's drive is named.
TEST(SafePath, ALinkOffItsDriveIsNamed) {
  using platform::Destination;
  struct Case {
    std::optional<Destination> destination;
    std::optional<Destination> root;
    std::optional<std::wstring> named;
  };
  const Destination e{L"E:\\", false};
  const Destination share{L"\\\\server\\share", true};
  const Case cases[] = {
      {std::nullopt, e, std::nullopt},
      {Destination{L"e:\\Photos", false}, e, std::nullopt},
      {Destination{L"e:\\Photos", false}, std::nullopt, std::nullopt},
      {Destination{L"K:\\secret", false}, e, L"K:\\secret"},
      {Destination{L"K:\\secret", false}, std::nullopt, L"K:\\secret"},
      {Destination{L"\\\\server\\share\\x", true}, e, L"\\\\server\\share\\x"},
      {Destination{L"E:\\Volume{1}\\", true}, e, L"E:\\Volume{1}\\"},
      // A drive that is a share, or a folder given a letter, is one drive.
      {Destination{L"\\\\server\\share\\photos", false}, share, std::nullopt},
      {Destination{L"\\\\server\\shared\\photos", false}, share, L"\\\\server\\shared\\photos"},
      {Destination{L"C:\\data\\photos", false}, Destination{L"C:\\data", false}, std::nullopt},
      {Destination{L"C:\\database", false}, Destination{L"C:\\data", false}, L"C:\\database"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(off_drive_destination(L"E:\\photos-archive", c.destination, c.root), c.named)
        << (c.destination ? platform::to_utf8(c.destination->path) : "none");
  }
  EXPECT_EQ(change_script_bytes(L"E:\\a", 0, L"", link_note(L"K:\\b&c")),
            "@echo off\r\n(call )\r\nchdir /D \"E:\\a\"\r\n"
            "if not errorlevel 1 echo Directory has been changed to E:\\a ^(a link to K:\\b^&c^)\r\n");
}

// The last gate before the shell: an implausible chosen directory leaves the
// script as reset.
TEST(SafePath, ChangeScriptRefusesAnImplausibleDirectory) {
  ChangeScript script(platform::temp_path() + L"zrn-safe-path-test.BAT");
  script.reset();
  std::wstring error;
  EXPECT_EQ(script.write(L"D:\\photos\"&md INJX&\"", &error), ScriptWrite::refused);
  EXPECT_EQ(platform::read_whole_file(script.path()), reset_script_bytes());
  platform::delete_file(script.path());
}

// A script that cannot be written says where and why, for the user to hear.
TEST(SafePath, ChangeScriptThatCannotBeWrittenSaysWhy) {
  ChangeScript script(platform::temp_path());  // a folder: no file can be written there
  std::wstring error;
  EXPECT_EQ(script.write(L"D:\\photos", &error), ScriptWrite::failed);
  EXPECT_NE(error.find(L"the change script " + platform::temp_path() + L" could not be written ("), std::wstring::npos)
      << error;
}

}  // namespace
}  // namespace zrn
