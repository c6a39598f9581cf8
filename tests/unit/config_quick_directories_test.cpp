#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "config/quick_directories.h"
#include "platform/shell_folders.h"

namespace zrn {
namespace {

namespace folder = platform::special_folder;

// Answers from a table and records which folders were asked for.
class FakeShellFolders final : public ShellFolders {
 public:
  std::map<int, std::wstring> special;
  std::optional<std::wstring> downloads_path;
  std::vector<int> asked;

  std::optional<std::wstring> special_folder(int number) override {
    asked.push_back(number);
    const auto found = special.find(number);
    if (found == special.end()) return std::nullopt;
    return found->second;
  }
  std::optional<std::wstring> downloads() override { return downloads_path; }
};

TEST(ConfigQuickSwitch, MapsEachCharacterToItsEntry) {
  struct Case {
    wchar_t character;
    std::size_t entry;
  };
  const Case cases[] = {
      {L'0', 0},
      {L'1', 1},
      {L'5', 5},
      {L'9', 9},
      {L'D', 10},
      {L'L', 11},
      {L'V', 12},
      {L'M', 13},
      {L'P', 14},
      {L'X', 15},
      {L'Z', 0},
      {L'-', 0},
      {L'A', 0},
      {L'Q', 0},
      {L'*', 0},
      {L' ', 0},
      {L'\u0663', 0},  // an Arabic-Indic digit is not one of
                       // "0" to "9"
      {L'\uff11', 0},  // nor is a full-width one
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.character));
    EXPECT_EQ(quick_entry_index(c.character), c.entry);
  }
}

TEST(ConfigKnownFolders, AddsTheBackslashWhereMissing) {
  FakeShellFolders shell;
  shell.special = {{folder::documents, L"D:\\Home\\Documents"},   {folder::videos, L"D:\\Home\\Videos\\"},
                   {folder::music, L"D:\\Home\\Music"},           {folder::pictures, L"D:\\Home\\Pictures"},
                   {folder::program_files, L"C:\\Program Files"}, {folder::profile, L"D:\\Home"}};
  shell.downloads_path = L"E:\\Downloads";
  const auto entries = known_folder_entries(shell);
  const std::array<std::wstring, 6> expected = {L"D:\\Home\\Documents\\", L"E:\\Downloads\\",
                                                L"D:\\Home\\Videos\\",    L"D:\\Home\\Music\\",
                                                L"D:\\Home\\Pictures\\",  L"C:\\Program Files\\"};
  EXPECT_EQ(entries, expected);
}

TEST(ConfigKnownFolders, MissingFoldersLeaveTheirEntriesEmpty) {
  FakeShellFolders shell;
  shell.special = {{folder::music, L"D:\\Music"}, {folder::videos, L""}};
  shell.downloads_path = L"D:\\Down";
  const auto entries = known_folder_entries(shell);
  const std::array<std::wstring, 6> expected = {L"", L"D:\\Down\\", L"", L"D:\\Music\\", L"", L""};
  EXPECT_EQ(entries, expected);
}

TEST(ConfigKnownFolders, DownloadsFallsBackToTheProfileFolder) {
  struct Case {
    std::optional<std::wstring> downloads;
    std::optional<std::wstring> profile;
    const wchar_t* entry;
  };
  const Case cases[] = {
      {L"D:\\Elsewhere", L"C:\\users\\me", L"D:\\Elsewhere\\"},
      {std::nullopt, L"C:\\users\\me", L"C:\\users\\me\\Downloads\\"},
      {std::nullopt, L"C:\\users\\me\\", L"C:\\users\\me\\Downloads\\"},
      {std::nullopt, std::nullopt, L"Downloads\\"},
      {std::nullopt, L"", L"Downloads\\"},
      {L"", L"C:\\users\\me", L"C:\\users\\me\\Downloads\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    FakeShellFolders shell;
    shell.downloads_path = c.downloads;
    if (c.profile) shell.special[folder::profile] = *c.profile;
    EXPECT_EQ(known_folder_entries(shell)[1], c.entry);
  }
}

TEST(ConfigKnownFolders, APathThatDoesNotFitWithItsBackslashIsLeftOut) {
  const std::wstring fits = L"C:\\" + std::wstring(255, L'a');      // 258 + '\' = 259
  const std::wstring too_long = L"C:\\" + std::wstring(256, L'a');  // 259 + '\' = 260
  FakeShellFolders shell;
  shell.special = {{folder::documents, fits},
                   {folder::videos, too_long},
                   {folder::music, too_long + L"\\"},
                   {folder::profile, L"C:\\" + std::wstring(247, L'p')}};  // + "\Downloads\" = 261
  const auto entries = known_folder_entries(shell);
  EXPECT_EQ(entries[0], fits + L"\\");
  EXPECT_EQ(entries[1], L"");
  EXPECT_EQ(entries[2], L"");
  EXPECT_EQ(entries[3], L"");

  shell.downloads_path = fits;
  EXPECT_EQ(known_folder_entries(shell)[1], fits + L"\\");
  shell.downloads_path = too_long;
  EXPECT_EQ(known_folder_entries(shell)[1], L"");
}

TEST(ConfigQuickSwitch, MessageNamesTheSwitchAndWhatToSetWhere) {
  const std::wstring ini = L"C:\\Tools\\ZRN.INI";
  struct Case {
    wchar_t character;
    std::wstring entry;
    std::wstring message;
  };
  const std::wstring head = L"No directory associated with /Q";
  const Case cases[] = {
      {L'4', L"", head + L"4: set Q4 in the [QuickDIR] group of C:\\Tools\\ZRN.INI."},
      {L'4', L"D:\\a\"b\\", head + L"4: Q4 in C:\\Tools\\ZRN.INI is not a usable directory name."},
      {L'Z', L"",
       head + L"Z: the quick switches are /Q0 to /Q9 (set in the [QuickDIR] group of "
              L"C:\\Tools\\ZRN.INI) and /QD /QL /QV /QM /QP /QX."},
      {L'D', L"", head + L"D: Windows does not tell where this folder is."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.character));
    EXPECT_EQ(quick_switch_message(c.character, c.entry, ini), c.message);
  }
}

TEST(ConfigKnownFolders, AsksForTheDocumentedFolderNumbers) {
  FakeShellFolders shell;
  known_folder_entries(shell);
  std::vector<int> asked = shell.asked;
  std::sort(asked.begin(), asked.end());
  EXPECT_EQ(asked, (std::vector<int>{5, 13, 14, 38, 39, 40}));
}

}  // namespace
}  // namespace zrn
