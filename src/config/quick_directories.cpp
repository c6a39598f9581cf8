#include "config/quick_directories.h"

#include <algorithm>

#include "platform/shell_folders.h"
#include "platform/text.h"

namespace zrn {

namespace {

// Paths live in buffers of 260 units with the terminator: a folder that does
// not fit with its backslash is left out rather than cut to a wrong path.
constexpr std::size_t kMaxEntryLength = 259;

std::wstring fitted(std::wstring path) {
  if (path.size() > kMaxEntryLength) path.clear();
  return path;
}

std::wstring special_folder_entry(ShellFolders& folders, int folder) {
  return fitted(platform::with_backslash(folders.special_folder(folder).value_or(L"")));
}

std::wstring downloads_entry(ShellFolders& folders) {
  // The known folder comes without its backslash: one is always added.
  if (const auto path = folders.downloads(); path && !path->empty()) return fitted(*path + L'\\');
  const auto profile = folders.special_folder(platform::special_folder::profile);
  if (!profile || profile->empty()) return L"Downloads\\";
  return fitted(platform::with_backslash(*profile) + L"Downloads\\");
}

class SystemShellFolders final : public ShellFolders {
 public:
  std::optional<std::wstring> special_folder(int folder) override { return platform::special_folder_path(folder); }
  std::optional<std::wstring> downloads() override { return platform::downloads_folder_path(); }
};

}  // namespace

std::array<std::wstring, 6> known_folder_entries(ShellFolders& folders) {
  namespace folder = platform::special_folder;
  return {special_folder_entry(folders, folder::documents), downloads_entry(folders),
          special_folder_entry(folders, folder::videos),    special_folder_entry(folders, folder::music),
          special_folder_entry(folders, folder::pictures),  special_folder_entry(folders, folder::program_files)};
}

std::size_t quick_entry_index(wchar_t switch_character) {
  const auto letter = kKnownFolderLetters.find(switch_character);
  if (letter != std::wstring_view::npos) return kFirstKnownFolderEntry + letter;
  if (switch_character >= L'0' && switch_character <= L'9') return static_cast<std::size_t>(switch_character - L'0');
  return 0;
}

QuickTable quick_directory_table(const std::array<std::wstring, 10>& configured) {
  QuickTable table;
  std::copy(configured.begin(), configured.end(), table.begin());
  SystemShellFolders folders;
  const auto known = known_folder_entries(folders);
  std::copy(known.begin(), known.end(), table.begin() + kFirstKnownFolderEntry);
  return table;
}

std::wstring quick_switch_message(wchar_t switch_character, std::wstring_view entry, std::wstring_view ini_path) {
  const std::size_t index = quick_entry_index(switch_character);
  const std::wstring ini(ini_path);
  const std::wstring message = L"No directory associated with /Q" + std::wstring(1, switch_character) + L": ";
  if (index >= kFirstKnownFolderEntry) return message + L"Windows does not tell where this folder is.";
  const std::wstring key = L"Q" + std::to_wstring(index);
  if (switch_character != static_cast<wchar_t>(L'0' + index)) {
    return message + L"the quick switches are /Q0 to /Q9 (set in the [QuickDIR] group of " + ini +
           L") and /QD /QL /QV /QM /QP /QX.";
  }
  if (!entry.empty()) return message + key + L" in " + ini + L" is not a usable directory name.";
  return message + L"set " + key + L" in the [QuickDIR] group of " + ini + L".";
}

}  // namespace zrn
