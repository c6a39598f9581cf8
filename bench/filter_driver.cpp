// Times the filter step of an index build and the index pass on given files,
// inside one process, so that Wine's start-up does not count.
//   filter_driver filter RAW FILTERED WORD...
//   filter_driver scan INDEX SEARCH [learned]
// With "learned" the matches are then sorted into the learned order against
// a history of 500 choices, one of every few matches.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "index/exclusions.h"
#include "index/listing_filter.h"
#include "platform/code_page.h"
#include "platform/system.h"
#include "platform/text.h"
#include "search/index_scan.h"
#include "search/ranking.h"

namespace {

std::wstring wide(const char* text) { return zrn::platform::from_ansi(text); }

double peak_working_set_mb() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  zrn::platform::set_up_process();
  if (argc < 4) return 2;
  const std::string mode = argv[1];
  const auto start = std::chrono::steady_clock::now();
  std::size_t count = 0;
  if (mode == "filter") {
    std::vector<std::wstring> words;
    for (int i = 4; i < argc; ++i) words.push_back(zrn::platform::upper(wide(argv[i])));
    zrn::platform::File reader = zrn::platform::File::open_for_reading(wide(argv[2]));
    zrn::ListingFilter filter(wide(argv[3]), words);
    count = reader.is_open() && filter.read_more(reader) && filter.finish() ? 1 : 0;
  } else {
    std::vector<std::wstring> matches;
    const zrn::IndexScan scan(wide(argv[3]), zrn::platform::ansi_byte_characters());
    zrn::scan_index_file(wide(argv[2]), scan, matches);
    if (argc > 4 && std::string(argv[4]) == "learned") {
      std::vector<zrn::Choice> history;
      const std::size_t step = matches.size() / 500 + 1;
      for (std::size_t i = 0; i < matches.size() && history.size() < 500; i += step) {
        history.push_back(
            {matches[i], static_cast<std::uint32_t>(i % 7 + 1), 1'800'000'000 - static_cast<std::int64_t>(i)});
      }
      zrn::rank_matches(matches, wide(argv[3]), history, 1'800'000'000);
    }
    count = matches.size();
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("%s %.4f s, result %zu, peak working set %.1f MB\n", mode.c_str(), elapsed.count(), count,
              peak_working_set_mb());
  return 0;
}
