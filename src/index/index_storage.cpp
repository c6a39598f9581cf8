#include "index/index_storage.h"

#include "app/identity.h"
#include "app/program_state.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"

namespace zrn {

std::wstring temporary_directory() { return platform::temp_path(); }

std::wstring data_directory_path(const std::wstring& drive_root) {
  return drive_root + state().data_directory_name;
}

std::wstring index_file_path(const std::wstring& drive_root) { return drive_root + state().index_below_root; }

std::wstring raw_listing_path() { return state().temporary_directory + state().index_file_name; }

std::wstring filtered_listing_path() { return raw_listing_path() + L"1"; }

std::wstring current_directory_listing_path() { return state().temporary_directory + L"ZRNDIRAD"; }

void prepare_data_directory(const std::wstring& drive_root) {
  const std::wstring directory = data_directory_path(drive_root);
  platform::create_directory(directory);
  platform::set_hidden_only(directory);
}

std::string readme_bytes() {
  std::wstring text;
  for (const std::wstring_view line :
       {std::wstring_view(L"This hidden directory contains the file IndexFile.ZRN."),
        std::wstring_view(L"This is an index file for the Zarnpath program."),
        std::wstring_view(L"If you no longer use this app, you can delete this directory."),
        std::wstring_view(L"If you continue using the program, the directory will be recreated automatically."),
        kWebAddress}) {
    text.append(line);
    text.append(L"\r\n");
  }
  return platform::to_ansi(text);
}

void write_readme(const std::wstring& drive_root) {
  platform::write_whole_file(data_directory_path(drive_root) + L"\\Readme.TXT", readme_bytes());
}

bool install_index(const std::wstring& raw_path, const std::wstring& filtered_path, const std::wstring& drive_root) {
  const std::wstring index_path = index_file_path(drive_root);
  // The copy lands beside the index under a name of its own; only a complete
  // copy is renamed over the index, so neither an interrupted copy nor a
  // search running meanwhile ever sees half an index.
  const std::wstring incoming_path = index_path + L"~";
  platform::delete_file(raw_path);
  platform::move_file(filtered_path, raw_path);
  bool installed = platform::copy_file_replacing(raw_path, incoming_path);
  if (installed) installed = platform::move_file_replacing(incoming_path, index_path);
  if (!installed) platform::delete_file(incoming_path);
  platform::delete_file(raw_path);
  if (!installed) {
    platform::show_message(state().display_title,
                           L"There was a problem copying the index file from " + raw_path + L" to " + index_path);
  }
  return installed;
}

}  // namespace zrn
