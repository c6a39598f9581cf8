#pragma once
// Where a drive's index lies: its data directory at the drive's root, the
// fallback place in the user's profile, and which of the two a search reads.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zrn {

// The folder at each drive's root that holds its index and readme, and their names.
inline constexpr std::wstring_view kDataDirectoryName = L"Zarnpath";
inline constexpr std::wstring_view kIndexFileName = L"Indexfile.ZRN";
inline constexpr std::wstring_view kReadmeName = L"Readme.TXT";
// The listing of the current directory's sub-directories.
inline constexpr std::wstring_view kSubdirectoryListName = L"ZRNDIRAD";

// drive root + "Zarnpath"
std::wstring data_directory_path(const std::wstring& drive_root);
// drive root + "Zarnpath\Indexfile.ZRN"
std::wstring index_file_path(const std::wstring& drive_root);
// Where the index of a drive whose root cannot be written lives instead: the
// user's local application data + "Zarnpath\" + `fallback_index_name`;
// empty when the system names no such folder.
std::wstring fallback_index_path(const std::wstring& drive_root);
// "Indexfile-D-0123ABCD.ZRN" for drive D: and its volume's serial number, so
// that another disc or stick in the same drive never reads this one's index;
// "Indexfile-D.ZRN" when the serial number is unknown.
std::wstring fallback_index_name(const std::wstring& drive_root, std::optional<std::uint32_t> serial);
// The index a search reads: the newer of the two, or the one that exists.
std::wstring index_in_use(const std::wstring& drive_root);
// When the index at `path` was last written (local seconds since 1970);
// nothing when it is absent, empty or no file.
std::optional<std::int64_t> usable_index_time(const std::wstring& path);
// The rule behind it, for the two files' last write times (nothing for one
// that is absent or empty) and the time now: true when the fallback is the
// one to read. An own index dated now or later never hides the fallback.
bool fallback_preferred(std::optional<std::int64_t> own_time, std::optional<std::int64_t> fallback_time,
                        std::int64_t now);

}  // namespace zrn
