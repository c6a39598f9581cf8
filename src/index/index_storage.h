#pragma once
#include <string>

namespace zrn {

// The user's temporary directory, long form, ending with a backslash.
std::wstring temporary_directory();

// drive root + "Zarnpath"
std::wstring data_directory_path(const std::wstring& drive_root);
// drive root + "Zarnpath\Indexfile.ZRN"
std::wstring index_file_path(const std::wstring& drive_root);
// The temporary files of a build and of the current-directory pass.
std::wstring raw_listing_path();
std::wstring filtered_listing_path();
std::wstring current_directory_listing_path();

// Creates the drive's data directory if needed and leaves it hidden only.
void prepare_data_directory(const std::wstring& drive_root);
// The five readme lines, ANSI code page, each ended by CR LF.
std::string readme_bytes();
void write_readme(const std::wstring& drive_root);
// Puts the finished filtered listing into place as the drive's index; a
// failure shows the copy message. The index path only ever receives a whole
// file: the copy goes to a name beside it and is then renamed over it. True
// when the new index is in place.
bool install_index(const std::wstring& raw_path, const std::wstring& filtered_path, const std::wstring& drive_root);

}  // namespace zrn
