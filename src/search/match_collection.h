#pragma once
// The match list of a search: the current directory's sub-directories whose
// name holds the search text, else the directories of the drive's index.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "index/index_builder.h"

namespace zrn {

struct Matches {
  std::vector<std::wstring> paths;
  std::uint64_t not_shown = 0;  // found beyond the list's cap
  // The index that is there but could not be read (another program holds
  // it): nothing found in it means nothing then. Empty when it was read.
  std::wstring unreadable_index;
};

// What a search found, and what became of the drive's index on the way.
struct SearchResult {
  IndexOutcome outcome = IndexOutcome::ready;
  Matches matches;
};

// The current directory's sub-directories first, the drive's index when none
// of them matches.
SearchResult collect_matches(const IndexSettings& settings, std::wstring_view search_text,
                             const std::wstring& drive_root);
// The current directory's sub-directories whose name holds the search text;
// `temporary_directory` takes the listing while it is read.
Matches current_directory_matches(const std::wstring& temporary_directory, std::wstring_view search_text);
// The drive's index searched, built first as `rebuild` says. A cancelled
// build, or a drive that is not there, finds nothing: the caller's list
// stays as it was.
SearchResult collect_from_index(const IndexSettings& settings, const std::wstring& drive_root,
                                std::wstring_view search_text, Rebuild rebuild);
// The index at `index` (the one in use for the drive) searched as it stands.
Matches search_index(const std::wstring& drive_root, const std::wstring& index, std::wstring_view search_text);

// "*:": the local drives (fixed or removable) whose index exists, in drive
// order. Nothing is built and no drive is listed.
std::vector<std::wstring> indexed_local_drives();
// The matches of every such drive, one drive after the other, within
// kMostMatches in all.
Matches search_indexed_drives(std::wstring_view search_text);
// The current directory's sub-directories first, every indexed local
// drive's index when none of them matches.
SearchResult collect_matches_on_all_drives(const IndexSettings& settings, std::wstring_view search_text);

// The parameters for cmd.exe that list the bare names of the current
// directory's sub-directories into its standard output.
std::wstring current_directory_listing_parameters();

}  // namespace zrn
