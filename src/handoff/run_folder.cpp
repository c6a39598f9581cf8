#include "handoff/run_folder.h"

#include "platform/files.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr std::wstring_view kFolderPrefix = L"ZRN-";
constexpr std::wstring_view kScriptName = L"ZRN2.BAT";
constexpr std::wstring_view kMarkerEnd = L".OK";
constexpr std::int64_t kDay = 24 * 60 * 60;
// Enough for any number of stopped runs that a day leaves; no TEMP full of
// look-alikes can make a run slow.
constexpr std::size_t kMostFoldersLooked = 64;
// A run makes three files; a folder with more is not only a run's.
constexpr std::size_t kMostFilesInAFolder = 8;

using platform::same_text_ignoring_case;
using platform::starts_with_ignoring_case;

}  // namespace

bool is_run_script_path(std::wstring_view script, std::wstring_view temporary_directory) {
  if (temporary_directory.empty() || !starts_with_ignoring_case(script, temporary_directory)) return false;
  const auto rest = script.substr(temporary_directory.size());
  const auto separator = rest.find(L'\\');
  if (separator == std::wstring_view::npos) return false;
  const auto folder = rest.substr(0, separator);
  // One folder down and no further: no other separator, no stream name.
  return folder.size() > kFolderPrefix.size() && starts_with_ignoring_case(folder, kFolderPrefix) &&
         folder.find_first_of(L"/:") == std::wstring_view::npos &&
         same_text_ignoring_case(rest.substr(separator + 1), kScriptName);
}

std::optional<std::wstring> run_token(const std::optional<std::wstring>& value) {
  constexpr std::size_t kLongest = 64;
  if (!value || value->empty() || value->size() > kLongest) return std::nullopt;
  for (const wchar_t c : *value) {
    if (c < L'0' || c > L'9') return std::nullopt;
  }
  return value;
}

std::wstring run_marker_name(std::wstring_view token) { return std::wstring(token) + std::wstring(kMarkerEnd); }

bool is_run_file_name(std::wstring_view name) {
  if (same_text_ignoring_case(name, kCapturedWordsName) || same_text_ignoring_case(name, kScriptName)) return true;
  if (name.size() <= kMarkerEnd.size() ||
      !same_text_ignoring_case(name.substr(name.size() - kMarkerEnd.size()), kMarkerEnd)) {
    return false;
  }
  return run_token(std::wstring(name.substr(0, name.size() - kMarkerEnd.size()))).has_value();
}

std::optional<std::wstring> captured_arguments(std::wstring_view echoed) {
  constexpr std::wstring_view kMark = L"rem ZRN-WORDS #";
  const auto mark = echoed.find(kMark);
  if (mark == std::wstring_view::npos) return std::nullopt;
  auto line = echoed.substr(mark + kMark.size());
  line = line.substr(0, line.find_first_of(L"\r\n"));
  const auto close = line.rfind(L'#');
  if (close == std::wstring_view::npos) return std::nullopt;
  return std::wstring(line.substr(0, close));
}

bool is_stale_run_folder(std::wstring_view name, bool is_link, std::int64_t age_seconds) {
  return !is_link && name.size() > kFolderPrefix.size() && starts_with_ignoring_case(name, kFolderPrefix) &&
         age_seconds > kDay;
}

void remove_stale_run_folders(const std::wstring& temporary_directory) {
  const auto now = platform::now_local_seconds();
  const auto pattern = temporary_directory + std::wstring(kFolderPrefix) + L"*";
  for (const auto& name : platform::find_directories(pattern, kMostFoldersLooked)) {
    const std::wstring folder = temporary_directory + name;
    const auto written = platform::last_write_local_seconds(folder);
    if (!written || !is_stale_run_folder(name, !platform::is_plain_directory(folder), now - *written)) continue;
    for (const auto& entry : platform::list_directory(folder, kMostFilesInAFolder, kMostFilesInAFolder).entries) {
      const std::wstring path = folder + L"\\" + entry.name;
      if (is_run_file_name(entry.name) && platform::is_plain_file(path)) platform::delete_file(path);
    }
    platform::remove_empty_directory(folder);
  }
}

}  // namespace zrn
