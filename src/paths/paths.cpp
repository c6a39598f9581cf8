#include "paths/paths.h"

#include <utility>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/shell_folders.h"
#include "platform/text.h"

namespace zrn {

namespace {

std::wstring usable_temporary_directory(std::wstring candidate) {
  if (!is_absolute_path(candidate)) return L"";
  candidate = platform::with_backslash(std::move(candidate));
  return platform::create_directories(candidate) ? candidate : L"";
}

}  // namespace

bool cmd_can_enter(std::wstring_view directory) { return directory.size() <= kLongestEnterableDirectory; }

bool is_drive_root(std::wstring_view root) {
  return root.size() == 3 && platform::ascii_upper(root[0]) >= L'A' && platform::ascii_upper(root[0]) <= L'Z' &&
         root[1] == L':' && root[2] == L'\\';
}

bool is_absolute_path(std::wstring_view path) {
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return is_drive_root(path.substr(0, 3));
  if (path.size() < 5 || path.substr(0, 2) != L"\\\\" || path[2] == L'\\') return false;
  const auto server_end = path.find(L'\\', 2);
  return server_end != std::wstring_view::npos && server_end + 1 < path.size() && path[server_end + 1] != L'\\';
}

std::optional<std::wstring> temporary_variable() {
  for (const wchar_t* name : {L"TMP", L"TEMP"}) {
    auto value = platform::environment_variable(name);
    if (value && !value->empty()) return value;
  }
  return std::nullopt;
}

std::wstring temporary_directory() {
  // GetTempPathW starts from TMP, else TEMP, and makes a relative one (or
  // one stored unexpanded, such as "%USERPROFILE%\Temp") absolute against
  // the current directory: such a folder would be made inside whatever
  // folder the user is in.
  const auto variable = temporary_variable();
  std::wstring path;
  if (!variable || is_absolute_path(*variable)) path = usable_temporary_directory(platform::temp_path());
  if (path.empty()) {
    const auto local = platform::special_folder_path(platform::special_folder::local_app_data);
    if (local && !local->empty()) path = usable_temporary_directory(platform::with_backslash(*local) + L"Temp");
  }
  if (path.empty()) path = usable_temporary_directory(platform::windows_directory() + L"Temp");
  // Nothing usable at all: the system's folder still gives every name the
  // run builds its usual, absolute form; writing there simply fails.
  return path.empty() ? platform::windows_directory() + L"Temp\\" : path;
}

}  // namespace zrn
