#include "search/match_collection.h"

#include "handoff/safe_path.h"
#include "index/index_builder.h"
#include "index/index_places.h"
#include "index/listing_lines.h"
#include "index/run_hidden.h"
#include "index/working_files.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/text.h"
#include "search/contains_text.h"
#include "search/index_scan.h"
#include "search/path_resolution.h"

namespace zrn {

std::wstring current_directory_listing_parameters() {
  // As for the drive listing: UTF-16 output.
  return L"/U /C DIR /AD/B";
}

Matches current_directory_matches(const std::wstring& temporary_directory, std::wstring_view search_text) {
  Matches found;
  // A name of this run's own: no other run writes it, and it is gone when
  // the pass ends.
  const WorkingFile listing(temporary_directory, kSubdirectoryListName, SweepRule::temporary);
  // A listing that cmd could not make, or that cannot be read, is as good
  // as no match here: the drive's index answers instead.
  if (!run_hidden(current_directory_listing_parameters(), listing.path()).started) return found;
  platform::File reader = platform::File::open_for_reading(listing.path());
  if (!reader.is_open()) return found;
  std::wstring directory = platform::current_directory();
  if (directory.empty() || directory.back() != L'\\') directory += L'\\';
  ListingLines lines([&](std::wstring_view name) {
    if (contains_text(name, search_text, 1) == 0) return;
    // cmd /U lists real names, so a '?' here is as foreign as a quote.
    std::wstring path = directory + std::wstring(name);
    if (plausible_directory(path)) found.paths.push_back(std::move(path));
  });
  std::string buffer(65536, '\0');
  for (;;) {
    const auto got = reader.read(buffer.data(), buffer.size());
    if (!got || *got == 0) break;
    lines.feed(std::string_view(buffer.data(), *got));
  }
  lines.finish();
  return found;
}

namespace {

// The most directories one '?' component is looked up among.
constexpr std::size_t kMostLookedUpNames = 4096;

// Replaces each match whose components hold the default character by the
// real directories it stands for, in place; one that stands for none goes.
// Every directory read is cached and counted against one budget, so that a
// planted index costs no more than that; the list stays within kMostMatches.
void resolve_default_characters(std::vector<std::wstring>& matches, std::uint64_t& beyond) {
  const DirectoryLookup lookup = cached_lookup(
      [](const std::wstring& pattern) { return platform::find_directories(pattern, kMostLookedUpNames); });
  const AnsiForm ansi_form = [](std::wstring_view name) { return platform::to_ansi(name); };
  std::vector<std::wstring> resolved;
  for (auto& match : matches) {
    if (match.find(L'?') == std::wstring::npos) {
      resolved.push_back(std::move(match));
      continue;
    }
    for (auto& path : resolve_index_path(match, lookup, ansi_form)) {
      // Looked up rather than asked for: the path has no wildcard left, so
      // this finds the directory itself, within the same budget.
      if (plausible_directory(path) && !lookup(path).empty()) resolved.push_back(std::move(path));
    }
  }
  if (resolved.size() > kMostMatches) {
    beyond += resolved.size() - kMostMatches;
    resolved.resize(kMostMatches);
  }
  matches = std::move(resolved);
}

}  // namespace

Matches search_index(const std::wstring& drive_root, const std::wstring& index, std::wstring_view search_text) {
  Matches found;
  if (!is_drive_root(drive_root) || index.empty()) return found;
  const IndexScan scan(search_text, platform::ansi_byte_characters(), drive_root);
  const auto beyond = scan_index_file(index, scan, found.paths);
  if (!beyond && platform::path_exists(index)) found.unreadable_index = index;
  found.not_shown = beyond.value_or(0);
  resolve_default_characters(found.paths, found.not_shown);
  return found;
}

SearchResult collect_from_index(const IndexSettings& settings, const std::wstring& drive_root,
                                std::wstring_view search_text, Rebuild rebuild) {
  const PreparedIndex index = prepare_index(settings, drive_root, rebuild);
  // A stopped build, or no drive at all: nothing is searched.
  if (index.outcome == IndexOutcome::cancelled || index.outcome == IndexOutcome::drive_missing) {
    return {index.outcome, {}};
  }
  return {index.outcome, search_index(drive_root, index.path, search_text)};
}

std::vector<std::wstring> indexed_local_drives() {
  std::vector<std::wstring> drives;
  for (const std::wstring& root : platform::logical_drives()) {
    const std::wstring upper_root = platform::upper(root);
    if (is_drive_root(upper_root) && platform::is_local_drive(upper_root) &&
        usable_index_time(index_in_use(upper_root))) {
      drives.push_back(upper_root);
    }
  }
  return drives;
}

Matches search_indexed_drives(std::wstring_view search_text) {
  Matches all;
  for (const std::wstring& root : indexed_local_drives()) {
    Matches found = search_index(root, index_in_use(root), search_text);
    if (all.unreadable_index.empty()) all.unreadable_index = found.unreadable_index;
    all.not_shown += found.not_shown;
    for (auto& path : found.paths) {
      if (all.paths.size() < kMostMatches) {
        all.paths.push_back(std::move(path));
      } else {
        ++all.not_shown;
      }
    }
  }
  // An index that could not be read matters only when nothing was found.
  if (!all.paths.empty()) all.unreadable_index.clear();
  return all;
}

SearchResult collect_matches_on_all_drives(const IndexSettings& settings, std::wstring_view search_text) {
  sweep_temporary_directory(settings.temporary_directory);
  Matches here = current_directory_matches(settings.temporary_directory, search_text);
  if (here.paths.empty()) return {IndexOutcome::ready, search_indexed_drives(search_text)};
  return {IndexOutcome::ready, std::move(here)};
}

SearchResult collect_matches(const IndexSettings& settings, std::wstring_view search_text,
                             const std::wstring& drive_root) {
  // A killed build's listing can be large: it goes at the next search.
  sweep_temporary_directory(settings.temporary_directory);
  Matches here = current_directory_matches(settings.temporary_directory, search_text);
  if (here.paths.empty()) return collect_from_index(settings, drive_root, search_text, Rebuild::when_old);
  return {IndexOutcome::ready, std::move(here)};
}

}  // namespace zrn
