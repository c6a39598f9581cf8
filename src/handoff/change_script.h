#pragma once
// The change script that the wrapper runs in the calling shell: ZRN2.BAT
// beside the program, or the path the wrapper gave this run.
#include <optional>
#include <string>
#include <string_view>

namespace zrn {

// The bytes of the script: "@echo off" alone, or the lines that move the
// shell to `directory` and then confirm it. UTF-8 without byte-order mark,
// CR LF. The script switches the console to UTF-8 while it runs and gives
// back `code_page`, the one the console had (0 when unknown: no switch).
// It is safe with delayed expansion on or off, and it prints the
// confirmation only when the change of directory succeeded.
std::string reset_script_bytes();
std::string change_script_bytes(std::wstring_view directory, unsigned code_page = 0);

// cmd reads a directory name as commands unless it is escaped: carets before
// ^ & | < > ( ) and doubled percent signs for the echo line ...
std::wstring escape_for_echo(std::wstring_view text);
// ... doubled percent signs inside a quoted argument ...
std::wstring escape_for_quoted(std::wstring_view text);
// ... and, where delayed expansion reads the line, carets before ^ and ! too.
std::wstring escape_for_delayed_quoted(std::wstring_view text);

// The wrapper names the script of its own run in ZRN_SCRIPT, beside the
// words in ZRN_ARGC; without the wrapper's words the script is ZRN2.BAT in
// the program directory, as older wrappers expect.
std::wstring change_script_path_for(const std::optional<std::wstring>& wrapper_script,
                                    const std::optional<std::wstring>& wrapper_word_count,
                                    const std::wstring& program_directory);

void reset_change_script();
void write_change_script();  // writes the program state's chosen directory

}  // namespace zrn
