#pragma once
// Turns the process's command line into the search text, the drive root and
// the switches. There is no invalid command line.
#include <string>
#include <string_view>
#include <vector>

namespace zrn {

struct CommandLine {
  std::wstring search_text;
  std::wstring drive_root;
  std::wstring quick_switch;  // 0 or 1 character, upper case
  bool help = false;
  bool info = false;
};

// The words of the whole command line, the program's own path included.
std::vector<std::wstring> split_command_words(std::wstring_view line);
CommandLine interpret_command_line(std::wstring_view line, std::wstring_view current_directory);

// Reads GetCommandLineW (and the current directory) into the program state.
void read_command_line();

}  // namespace zrn
