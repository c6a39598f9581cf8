#include "search/match_collection.h"

#include "app/program_state.h"
#include "handoff/safe_path.h"
#include "index/index_builder.h"
#include "index/index_storage.h"
#include "index/listing_lines.h"
#include "index/run_hidden.h"
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

void collect_from_current_directory() {
  auto& s = state();
  // A name of this run's own: no other run writes it, and it is gone when
  // the pass ends.
  const WorkingFile listing(s.temporary_directory, kSubdirectoryListName);
  run_hidden(current_directory_listing_parameters(), listing.path());
  platform::File reader = platform::File::open_for_reading(listing.path());
  if (!reader.is_open()) return;
  std::wstring directory = platform::current_directory();
  if (directory.empty() || directory.back() != L'\\') directory += L'\\';
  ListingLines lines([&](std::wstring_view name) {
    if (contains_text(name, s.search_text, 1) == 0) return;
    // cmd /U lists real names, so a '?' here is as foreign as a quote.
    std::wstring path = directory + std::wstring(name);
    if (plausible_directory(path)) s.matches.push_back(std::move(path));
  });
  std::string buffer(65536, '\0');
  for (;;) {
    const auto got = reader.read(buffer.data(), buffer.size());
    if (!got || *got == 0) break;
    lines.feed(std::string_view(buffer.data(), *got));
  }
  lines.finish();
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

void search_index(const std::wstring& drive_root) {
  auto& s = state();
  s.matches.clear();
  s.matches_not_shown = 0;
  if (!is_drive_root(drive_root)) return;
  const IndexScan scan(s.search_text, platform::ansi_byte_characters(), drive_root);
  s.matches_not_shown = scan_index_file(index_in_use(drive_root), scan, s.matches).value_or(0);
  resolve_default_characters(s.matches, s.matches_not_shown);
}

IndexOutcome collect_from_index(const std::wstring& drive_root) {
  const IndexOutcome outcome = ensure_index(drive_root);
  // A stopped build, or no drive at all: the list stays as it was.
  if (outcome == IndexOutcome::cancelled || outcome == IndexOutcome::drive_missing) return outcome;
  search_index(drive_root);
  return outcome;
}

IndexOutcome collect_matches() {
  auto& s = state();
  const std::size_t before = s.matches.size();
  // A killed build's listing can be large: it goes at the next search.
  sweep_temporary_directory();
  collect_from_current_directory();
  if (s.matches.size() == before) return collect_from_index(s.drive_root);
  return IndexOutcome::ready;
}

}  // namespace zrn
