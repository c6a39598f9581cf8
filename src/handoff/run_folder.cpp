#include "handoff/run_folder.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr std::wstring_view kFolderPrefix = L"ZRN-";
constexpr std::wstring_view kScriptName = L"ZRN2.BAT";
constexpr std::wstring_view kMarkerEnd = L".OK";
constexpr std::int64_t kDay = 24 * 60 * 60;
// Names cost little to list; only the folders taken are opened. Enough for
// any number of stopped runs that a day leaves; no TEMP full of look-alikes
// can make a run slow.
constexpr std::size_t kMostNamesLooked = 10000;
constexpr std::size_t kMostFoldersSwept = 64;
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

bool is_run_file_name(std::wstring_view name) {
  for (const auto own : {kCapturedWordsName, kProbeName, kScriptName}) {
    if (same_text_ignoring_case(name, own)) return true;
  }
  if (name.size() <= kMarkerEnd.size() ||
      !same_text_ignoring_case(name.substr(name.size() - kMarkerEnd.size()), kMarkerEnd)) {
    return false;
  }
  return run_token(std::wstring(name.substr(0, name.size() - kMarkerEnd.size()))).has_value();
}

std::optional<std::wstring> captured_arguments(std::wstring_view echoed) {
  constexpr std::wstring_view kMark = L"rem ZRN-WORDS #";
  std::optional<std::wstring> typed;
  int lines = 0;
  for (std::size_t at = 0; at < echoed.size();) {
    const std::size_t end = std::min(echoed.find_first_of(L"\r\n", at), echoed.size());
    const auto line = echoed.substr(at, end - at);
    at = end + 1;
    if (!line.starts_with(kMark)) continue;
    const auto close = line.rfind(L'#');
    if (close < kMark.size()) return std::nullopt;
    std::wstring text(line.substr(kMark.size(), close - kMark.size()));
    // Each echo names a different loop letter: text that cmd read as one of
    // them (%~dpa, %~tb) differs between the two, and is never taken.
    if (typed && text != *typed) return std::nullopt;
    typed = std::move(text);
    ++lines;
  }
  if (lines < 2) return std::nullopt;
  return typed;
}

bool is_stale_run_folder(std::wstring_view name, bool is_link, std::int64_t age_seconds) {
  return !is_link && name.size() > kFolderPrefix.size() && starts_with_ignoring_case(name, kFolderPrefix) &&
         age_seconds > kDay;
}

std::vector<std::size_t> sweep_turn(std::size_t candidates, std::size_t most, std::uint64_t turn) {
  std::vector<std::size_t> taken;
  if (candidates == 0) return taken;
  const std::size_t start = static_cast<std::size_t>(turn % candidates);
  for (std::size_t k = 0; k < candidates && k < most; ++k) taken.push_back((start + k) % candidates);
  return taken;
}

void remove_stale_run_folders(const std::wstring& temporary_directory) {
  const auto now = platform::now_utc_seconds();
  const auto pattern = temporary_directory + std::wstring(kFolderPrefix) + L"*";
  std::vector<std::wstring> stale;
  for (const auto& entry : platform::files_matching(pattern, kMostNamesLooked)) {
    if (entry.directory && is_stale_run_folder(entry.name, entry.link, now - entry.last_write_utc_seconds)) {
      stale.push_back(entry.name);
    }
  }
  for (const std::size_t at : sweep_turn(stale.size(), kMostFoldersSwept, static_cast<std::uint64_t>(now))) {
    const std::wstring folder = temporary_directory + stale[at];
    if (!platform::is_plain_directory(folder)) continue;
    // A file written within the day is a run's whose page stayed open long:
    // its script stays until the wrapper has run it. ("." is the folder
    // itself, ".." the temporary folder.)
    const auto entries = platform::files_matching(folder + L"\\*", kMostFilesInAFolder + 2);
    if (std::any_of(entries.begin(), entries.end(), [&](const auto& entry) {
          return entry.name != L".." && now - entry.last_write_utc_seconds <= kDay;
        })) {
      continue;
    }
    for (const auto& entry : entries) {
      const std::wstring path = folder + L"\\" + entry.name;
      if (entry.plain_file && is_run_file_name(entry.name) && platform::is_plain_file(path))
        platform::delete_file(path);
    }
    platform::remove_empty_directory(folder);
  }
}

}  // namespace zrn
