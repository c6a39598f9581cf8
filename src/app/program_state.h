#pragma once
// The one record of a run: every subsystem reads and writes this instance.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zrn {

// The selection screen's geometry, fixed once when the screen first opens.
struct ScreenLayout {
  int frame_width = 0;     // W: window width capped at 100
  int left = 1;            // X
  int top = 1;             // frame top row
  int list_top = 5;        // Y
  int page_size = 0;       // P
  int preview_height = 0;  // H
  int preview_top = 0;     // T
  int bottom = 0;          // B

  bool operator==(const ScreenLayout&) const = default;
};

struct ProgramState {
  // Paths and names
  std::wstring temporary_directory;  // ends with a backslash
  std::wstring program_directory;    // ends with a backslash
  std::wstring change_script_path;
  std::wstring run_folder;  // the wrapper's folder of this run; empty without one

  // Configuration
  std::vector<std::wstring> exclusions;     // upper case, defaults first
  std::array<std::wstring, 16> quick_dirs;  // each empty or ending in '\'
  std::uint16_t index_age_limit = 0;        // weeks, 0 = never too old

  // Drives and matches
  std::vector<std::wstring> drives;
  std::vector<std::wstring> matches;
  std::int64_t match_count = 0;
  std::uint64_t matches_not_shown = 0;  // found beyond the list's cap

  // Console window measured once at start-up
  int window_width = 0;
  int window_height = 0;

  // Command line
  std::wstring search_text;
  std::wstring drive_root;
  std::wstring quick_switch;
  bool help_flag = false;
  bool info_flag = false;

  std::wstring chosen_directory;
  // Lines printed once the selection screen has given the console back, so
  // that they stay after the run (a failed rebuild, an empty list).
  std::vector<std::wstring> after_screen;
  // Shown in the empty row below the list during the next pass.
  std::wstring screen_note;
  ScreenLayout layout;
  std::array<std::wstring, 4> frame_texts;  // top, side, separator, bottom
};

ProgramState& state();

}  // namespace zrn
