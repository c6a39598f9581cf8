#include "index/index_install.h"

#include "index/index_places.h"
#include "index/working_files.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr int kInstallAttempts = 20;
constexpr unsigned kInstallRetryPause = 50;

// Copies the listing beside `index_path` and renames it over the index;
// false, with the reason in `error`, when either step fails.
bool install_at(const std::wstring& filtered_path, const std::wstring& directory, const std::wstring& index_path,
                std::wstring* error) {
  const WorkingFile incoming(directory, std::wstring(kIndexFileName) + L"~", SweepRule::shared);
  if (!platform::copy_to_new_file(filtered_path, incoming.path())) {
    *error = L"the copy to " + incoming.path() + L" failed (" + platform::last_error_text() + L")";
    return false;
  }
  if (move_with_retries([&] { return platform::move_file_replacing(incoming.path(), index_path); })) return true;
  *error = L"it could not replace " + index_path + L" (" + platform::last_error_text() + L")";
  return false;
}

}  // namespace

bool move_with_retries(const std::function<bool()>& move) {
  // A search reading the index, or a scanner looking at it, can hold it
  // for a moment: try again briefly before giving up.
  for (int attempt = 0; attempt < kInstallAttempts; ++attempt) {
    if (attempt > 0) platform::pause(kInstallRetryPause);
    if (move()) return true;
  }
  return false;
}

bool prepare_data_directory(const std::wstring& drive_root) {
  const std::wstring directory = data_directory_path(drive_root);
  platform::create_directory(directory);
  // A link there (a junction needs no privilege) would carry the index and
  // the readme into a folder of someone's choosing.
  if (!platform::is_plain_directory(directory)) return false;
  platform::set_hidden_only(directory);
  return true;
}

std::string readme_bytes(std::wstring_view web_address) {
  std::wstring text;
  for (const std::wstring_view line :
       {std::wstring_view(L"This hidden directory contains the file IndexFile.ZRN."),
        std::wstring_view(L"This is an index file for the Zarnpath program."),
        std::wstring_view(L"If you no longer use this app, you can delete this directory."),
        std::wstring_view(L"If you continue using the program, the directory will be recreated automatically."),
        web_address}) {
    text.append(line);
    text.append(L"\r\n");
  }
  return platform::to_ansi(text);
}

void write_readme(const std::wstring& drive_root, std::wstring_view web_address) {
  replace_file_whole(data_directory_path(drive_root) + L"\\", kReadmeName, readme_bytes(web_address));
}

std::wstring install_index(const std::wstring& filtered_path, const std::wstring& drive_root, bool own_place_usable,
                           std::wstring* error) {
  const std::wstring index_path = index_file_path(drive_root);
  const std::wstring fallback = fallback_index_path(drive_root);
  *error = L"the drive's data directory is no plain directory";
  if (own_place_usable && install_at(filtered_path, data_directory_path(drive_root) + L"\\", index_path, error)) {
    // The drive's own index is the newest now; an older copy elsewhere
    // would only stand in its way.
    if (!fallback.empty()) platform::delete_file(fallback);
    return index_path;
  }
  if (fallback.empty()) return L"";
  const std::wstring directory = fallback.substr(0, fallback.rfind(L'\\') + 1);
  std::wstring fallback_error;
  if (!platform::create_directories(directory)) {
    fallback_error = L"the folder " + directory + L" could not be made (" + platform::last_error_text() + L")";
  } else if (install_at(filtered_path, directory, fallback, &fallback_error)) {
    return fallback;
  }
  *error += L"; in its place, " + fallback_error;
  return L"";
}

}  // namespace zrn
