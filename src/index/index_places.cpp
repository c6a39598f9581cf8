#include "index/index_places.h"

#include "platform/files.h"
#include "platform/shell_folders.h"
#include "platform/text.h"

namespace zrn {

std::wstring data_directory_path(const std::wstring& drive_root) {
  return drive_root + std::wstring(kDataDirectoryName);
}

std::wstring index_file_path(const std::wstring& drive_root) {
  return data_directory_path(drive_root) + L"\\" + std::wstring(kIndexFileName);
}

std::wstring fallback_index_path(const std::wstring& drive_root) {
  const auto local = platform::special_folder_path(platform::special_folder::local_app_data);
  if (!local || local->empty() || drive_root.empty()) return L"";
  return platform::with_backslash(*local) + std::wstring(kDataDirectoryName) + L"\\" +
         fallback_index_name(drive_root, platform::volume_serial(drive_root));
}

std::wstring fallback_index_name(const std::wstring& drive_root, std::optional<std::uint32_t> serial) {
  std::wstring name = L"Indexfile-" + platform::upper(drive_root.substr(0, 1));
  if (serial) name += L"-" + platform::hex_digits(*serial, 8);
  return name + L".ZRN";
}

bool fallback_preferred(std::optional<std::int64_t> own_time, std::optional<std::int64_t> fallback_time,
                        std::int64_t now) {
  // A time yet to come counts as now, and the fallback, which only this
  // program writes, is then the list last built.
  return fallback_time && (!own_time || *own_time >= now || *fallback_time > *own_time);
}

std::optional<std::int64_t> usable_index_time(const std::wstring& path) {
  if (path.empty() || platform::is_directory(path) || platform::file_size(path).value_or(0) == 0) return std::nullopt;
  return platform::last_write_local_seconds(path);
}

std::wstring index_in_use(const std::wstring& drive_root) {
  const std::wstring own = index_file_path(drive_root);
  const std::wstring fallback = fallback_index_path(drive_root);
  return fallback_preferred(usable_index_time(own), usable_index_time(fallback), platform::now_local_seconds())
             ? fallback
             : own;
}

}  // namespace zrn
