#include "info/information_report.h"

#include <chrono>

#include "console/console.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr std::wstring_view kLogoCell = L"         ";

std::wstring padded(long long value, std::size_t width) {
  std::wstring digits = std::to_wstring(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), L'0');
  return digits;
}

ReportPiece coloured(int text_colour, int background, std::wstring text, bool line_end = false) {
  return {text_colour, background, std::move(text), line_end};
}

ReportPiece line_end(std::wstring text = L"") { return {-1, -1, std::move(text), true}; }

// A logo cell beside a label and its value, as lines 4 to 10 show them.
void add_fact(std::vector<ReportPiece>& pieces, std::wstring label, std::wstring value) {
  pieces.push_back(coloured(black, light_grey, std::wstring(kLogoCell)));
  pieces.push_back(coloured(light_grey, black, std::move(label)));
  pieces.push_back(coloured(yellow, black, std::move(value), true));
}

}  // namespace

std::wstring build_stamp(std::int64_t seconds) {
  using namespace std::chrono;
  const sys_seconds time{std::chrono::seconds{seconds}};
  const auto day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss clock{time - day};
  return padded(static_cast<int>(date.year()), 4) + padded(static_cast<unsigned>(date.month()), 2) +
         padded(static_cast<unsigned>(date.day()), 2) + padded(clock.hours().count(), 2) +
         padded(clock.minutes().count(), 2);
}

std::uint64_t memory_megabytes(std::uint64_t bytes) { return bytes / 1048576u; }

std::wstring processor_name(std::string_view brand_bytes) {
  brand_bytes = brand_bytes.substr(0, brand_bytes.find('\0'));
  const auto first = brand_bytes.find_first_not_of(" \t");
  if (first == std::string_view::npos) return L"Unknown CPU";
  return platform::from_ansi(brand_bytes.substr(first));
}

std::vector<ReportPiece> report_pieces(const ReportFacts& facts) {
  std::vector<ReportPiece> pieces;
  pieces.push_back(line_end());
  pieces.push_back(coloured(black, light_grey, std::wstring(kLogoCell)));
  pieces.push_back(coloured(yellow, black, L"  " + facts.display_title));
  pieces.push_back(coloured(light_grey, black, L", By "));
  pieces.push_back(
      coloured(yellow, black, facts.author_name + L", " + facts.maker_place + L" (" + facts.web_address + L")", true));
  pieces.push_back(coloured(black, light_grey, L"   " + facts.display_title.substr(0, 3) + L"   ", true));
  add_fact(pieces, L"  Version: ", facts.version_text);
  add_fact(pieces, L"  Build: ", build_stamp(facts.build_time) + L" (commit " + facts.commit + L")");
  add_fact(pieces, L"  User: ", facts.user_name);
  add_fact(pieces, L"  Computer Name: ", facts.computer_name);
  add_fact(pieces, L"  Memory: ", std::to_wstring(memory_megabytes(facts.memory_bytes)) + L" MB");
  add_fact(pieces, L"  CPU Name: ", facts.processor_name);
  add_fact(pieces, L"  Console: ",
           std::to_wstring(facts.window_width) + L"x" + std::to_wstring(facts.window_height) + L" characters");
  pieces.push_back(line_end());  // still yellow on black
  pieces.push_back(coloured(light_grey, black, L"Location program and INI-file: "));
  pieces.push_back(coloured(yellow, black, facts.program_directory, true));
  pieces.push_back(coloured(light_grey, black, L"Configuration file: "));
  pieces.push_back(coloured(yellow, black, facts.program_directory + L"ZRN.INI", true));
  pieces.push_back(line_end());
  pieces.push_back(line_end());
  return pieces;
}

void print_information_report(Console& console, const ReportFacts& facts) {
  // The colours are left as the report ends: yellow on black.
  for (const auto& piece : report_pieces(facts)) {
    if (piece.text_colour >= 0) console.set_colour(piece.text_colour, piece.background);
    if (piece.line_end) {
      console.print_line(piece.text);
    } else {
      console.print(piece.text);
    }
  }
}

}  // namespace zrn
