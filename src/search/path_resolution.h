#pragma once
// The index holds paths in the ANSI code page, where a character that the code
// page cannot hold is stored as the default character '?'. cmd's chdir reads
// '?' as a wildcard and may enter a neighbour, so before such a path is
// offered each component holding '?' is looked up on the drive and replaced by
// the real names whose ANSI form is the stored one.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zrn {

// The ANSI form of a name, as an index stores it.
using AnsiForm = std::function<std::string(std::wstring_view)>;
// The names of the directories that a search pattern (a directory, a
// backslash and a last component that may hold '*') finds.
using DirectoryLookup = std::function<std::vector<std::wstring>(const std::wstring& pattern)>;

// The most directory reads that resolving the lines of one search may cost:
// a planted index of many '?' lines costs no more than this.
inline constexpr std::size_t kMostDirectoryReads = 2000;

// `read` behind a cache: each pattern is read once, and once `most_reads`
// reads have been made a pattern not read before finds nothing.
DirectoryLookup cached_lookup(DirectoryLookup read, std::size_t most_reads = kMostDirectoryReads);

// The most real paths that one index line may stand for.
inline constexpr std::size_t kMostResolvedPaths = 16;

// The pattern that finds every name a stored component may stand for: each
// run of '?' becomes '*', since one default character may stand for a
// character of two UTF-16 units, where a '?' in a pattern matches one.
std::wstring lookup_pattern(std::wstring_view component);

// Those of `names` whose ANSI form equals that of `stored`, in their order.
std::vector<std::wstring> names_stored_as(std::wstring_view stored, const std::vector<std::wstring>& names,
                                          const AnsiForm& ansi_form);

// The real paths that the index line `path` may stand for, at most `limit`;
// a path without '?' stands for itself. Whether they exist is left to the
// caller: only the components holding '?' are looked up.
std::vector<std::wstring> resolve_index_path(std::wstring_view path, const DirectoryLookup& lookup,
                                             const AnsiForm& ansi_form, std::size_t limit = kMostResolvedPaths);

}  // namespace zrn
