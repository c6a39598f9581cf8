#pragma once
// The user's shell folders as the system names them.
#include <optional>
#include <string>

namespace zrn::platform {

// Shell special folder numbers (CSIDL values) the program asks for.
namespace special_folder {
inline constexpr int documents = 5;
inline constexpr int music = 13;
inline constexpr int videos = 14;
inline constexpr int local_app_data = 28;
inline constexpr int program_files = 38;
inline constexpr int pictures = 39;
inline constexpr int profile = 40;
}  // namespace special_folder

// SHGetFolderLocation and SHGetPathFromIDListW; nothing when either fails.
std::optional<std::wstring> special_folder_path(int folder);
// SHGetKnownFolderPath for Downloads, looked up at run time because older
// systems lack it; nothing when it is missing or fails.
std::optional<std::wstring> downloads_folder_path();

}  // namespace zrn::platform
