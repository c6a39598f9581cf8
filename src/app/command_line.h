#pragma once
// Turns the process's command line into the search text, the drive root and
// the switches. There is no invalid command line.
#include <optional>
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
  // The wrapper made a run folder, but its words never reached it (the
  // capture failed): nothing else stands for them.
  bool words_lost = false;
};

// The words of the whole command line, the program's own path included.
std::vector<std::wstring> split_command_words(std::wstring_view line);
// `words` as split_command_words gives them: the first is the program's path.
CommandLine interpret_command_words(const std::vector<std::wstring>& words, std::wstring_view current_directory);
CommandLine interpret_command_line(std::wstring_view line, std::wstring_view current_directory);

// The words the wrapper handed over: ZRN_ARGC holds their number and ZRN_ARG1,
// ZRN_ARG2 ... the words, each set inside quotes so that nothing the user
// typed was read as a command on the way. Their double quotes go, as in a
// typed word. Nothing when ZRN_ARGC is not set (the program was started
// directly); the first word is then the program's place holder.
using VariableReader = std::optional<std::wstring> (*)(const std::wstring& name);
std::optional<std::vector<std::wstring>> wrapper_words(VariableReader variable);

// The words that the wrapper's echo captured (see captured_arguments), split
// as a command line's; the first is a place holder for the program's path.
std::optional<std::vector<std::wstring>> captured_words(std::wstring_view echoed);

// The words the wrapper captured in `run_folder` (empty without one) or
// handed over in its variables, else GetCommandLineW; read against the
// current directory.
CommandLine read_command_line(const std::wstring& run_folder);

}  // namespace zrn
