#pragma once
// The /info report: who made the program, when it was built, the machine it
// runs on and where the program and its configuration file lie.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zrn {

class Console;

struct ReportFacts {
  std::wstring display_title;
  std::wstring version_text;
  std::wstring author_name;
  std::wstring maker_place;
  std::wstring web_address;
  std::int64_t build_time = 0;  // seconds since 1970-01-01 00:00:00
  std::wstring commit;          // short hash of the sources' commit
  std::wstring user_name;
  std::wstring computer_name;
  std::uint64_t memory_bytes = 0;
  std::wstring processor_name;
  int window_width = 0;
  int window_height = 0;
  std::wstring program_directory;  // ends with a backslash
};

// One stretch of the report: a colour change (when the colours are set),
// then the text, then a line end when asked for.
struct ReportPiece {
  int text_colour = -1;  // -1: keep the colours in force
  int background = -1;
  std::wstring text;
  bool line_end = false;
};

// "%YYYY%MM%DD%HH%II" of the time as it stands, with no time-zone change.
std::wstring build_stamp(std::int64_t seconds);
std::uint64_t memory_megabytes(std::uint64_t bytes);
// The brand string without leading blanks, or "Unknown CPU".
std::wstring processor_name(std::string_view brand_bytes);
std::vector<ReportPiece> report_pieces(const ReportFacts& facts);

// The report of `facts` on the console, in its colours.
void print_information_report(Console& console, const ReportFacts& facts);

}  // namespace zrn
