#pragma once
// The directories the user chose, kept for the learned order in the user's
// own "%LOCALAPPDATA%\Zarnpath\Chosen.ZRN", and only while that order is on.
// The file is written whole, under a private name renamed into place, while
// a lock file keeps two runs from merging at once; a damaged file reads as
// empty, and it never holds more than kMostChoices directories.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "search/ranking.h"

namespace zrn {

inline constexpr std::wstring_view kChoicesName = L"Chosen.ZRN";
inline constexpr std::wstring_view kChoicesLockName = L"Chosen.lock";
inline constexpr std::size_t kMostChoices = 500;
// kMostChoices paths of the longest kind, with room to spare.
inline constexpr std::size_t kMostChoicesBytes = std::size_t{4} << 20;

// The file's bytes: a first line "Zarnpath choices 1", then one line per
// choice, "count TAB UTC seconds TAB path", UTF-8, CR LF.
std::string choices_bytes(const std::vector<Choice>& choices);
// Nothing at all when any line is not of that form, or the file is too long.
std::vector<Choice> parse_choices(std::string_view bytes);
// `choices` with `path` chosen once more `now`; the weakest go beyond
// kMostChoices.
std::vector<Choice> with_choice(std::vector<Choice> choices, const std::wstring& path, std::int64_t now);

// "%LOCALAPPDATA%\Zarnpath\" (with its backslash), empty when the system
// names no such folder.
std::wstring choices_directory();
std::vector<Choice> read_choices(const std::wstring& directory);
// Adds the choice to the file in `directory`, made when missing; false when
// nothing could be written (a link there, a full disk).
bool record_choice(const std::wstring& directory, const std::wstring& path);

}  // namespace zrn
