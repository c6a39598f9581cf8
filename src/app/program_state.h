#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "config/quick_directories.h"
#include "console/console.h"
#include "index/index_builder.h"

namespace zrn {

// What the selection page still shares through one record; it goes as the
// page takes its data as values.
struct PageState {
  const IndexSettings* index = nullptr;

  // Matches
  std::vector<std::wstring> matches;
  std::int64_t match_count = 0;
  std::uint64_t matches_not_shown = 0;  // found beyond the list's cap

  // Console window measured once at start-up
  int window_width = 0;
  int window_height = 0;

  // Command line
  std::wstring search_text;
  std::wstring drive_root;

  std::wstring chosen_directory;
  // Lines printed once the selection screen has given the console back, so
  // that they stay after the run (a failed rebuild, an empty list).
  std::vector<std::wstring> after_screen;
};

PageState& state();

// What one run knows: read once at its start, then handed from call to call.
struct ProgramState {
  std::wstring program_directory;  // ends with a backslash
  Size window;                     // at start-up; 0 x 0 without a console
  QuickTable quick_directories;
  IndexSettings index;  // the temporary directory, exclusions, age limit, progress
  CommandLine command;
};

}  // namespace zrn
