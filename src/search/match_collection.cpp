#include "search/match_collection.h"

#include "app/program_state.h"
#include "index/index_builder.h"
#include "index/index_storage.h"
#include "index/listing_lines.h"
#include "index/run_hidden.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "search/contains_text.h"
#include "search/index_scan.h"

namespace zrn {

std::wstring current_directory_listing_parameters(const std::wstring& target) {
  // As for the drive listing: UTF-16 output, and a quoted target.
  return L"/U /C DIR /AD/B >\"" + target + L"\"";
}

void collect_from_current_directory() {
  auto& s = state();
  // A name of this run's own: no other run writes it, and it is gone when
  // the pass ends.
  const WorkingFile listing(s.temporary_directory, L"ZRNDIRAD");
  run_hidden(L"CMD.EXE", current_directory_listing_parameters(listing.path()));
  platform::File reader = platform::File::open_for_reading(listing.path());
  if (!reader.is_open()) return;
  std::wstring directory = platform::current_directory();
  if (directory.empty() || directory.back() != L'\\') directory += L'\\';
  ListingLines lines([&](std::wstring_view name) {
    if (contains_text(name, s.search_text, 1) > 0) s.matches.push_back(directory + std::wstring(name));
  });
  std::string buffer(65536, '\0');
  for (;;) {
    const auto got = reader.read(buffer.data(), buffer.size());
    if (!got || *got == 0) break;
    lines.feed(std::string_view(buffer.data(), *got));
  }
  lines.finish();
}

void collect_from_index(const std::wstring& drive_root) {
  auto& s = state();
  ensure_index(drive_root);
  s.matches.clear();
  const IndexScan scan(s.search_text, platform::ansi_byte_characters());
  scan_index_file(index_file_path(drive_root), scan, s.matches);
}

void collect_matches() {
  auto& s = state();
  const std::size_t before = s.matches.size();
  collect_from_current_directory();
  if (s.matches.size() == before) collect_from_index(s.drive_root);
}

}  // namespace zrn
