#pragma once
// The quick directory table: entries 0 to 9 from ZRN.INI, 10 to 15 the
// user's known folders, reached with /Q0../Q9 and /QD /QL /QV /QM /QP /QX.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zrn {

// Where the known folders come from; the program asks the shell.
class ShellFolders {
 public:
  virtual ~ShellFolders() = default;
  // A shell special folder by number; nothing when the system cannot say.
  virtual std::optional<std::wstring> special_folder(int folder) = 0;
  // The Downloads known folder; nothing when the system lacks or refuses it.
  virtual std::optional<std::wstring> downloads() = 0;
};

// The six letters in entry order: D is entry 10, X entry 15.
inline constexpr std::wstring_view kKnownFolderLetters = L"DLVMPX";
inline constexpr std::size_t kFirstKnownFolderEntry = 10;

// Entries 10 to 15, each empty or ending in a backslash.
std::array<std::wstring, 6> known_folder_entries(ShellFolders& folders);
// The table entry that a /Q character selects.
std::size_t quick_entry_index(wchar_t switch_character);

// Why a /Q switch leads nowhere, naming the switch and what to set where:
// `entry` is the table entry it selects (empty, or one no directory can have).
std::wstring quick_switch_message(wchar_t switch_character, std::wstring_view entry, std::wstring_view ini_path);

using QuickTable = std::array<std::wstring, 16>;
// Entries 0 to 9 as configured, 10 to 15 the known folders the shell names.
QuickTable quick_directory_table(const std::array<std::wstring, 10>& configured);

}  // namespace zrn
