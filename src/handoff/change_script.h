#pragma once
// The change script ZRN2.BAT that the wrapper runs in the calling shell.
#include <string>
#include <string_view>

namespace zrn {

// The bytes of the script: "@echo off" alone, or with the echo line and the
// chdir line for `directory`. UTF-8 without byte-order mark, CR LF.
std::string reset_script_bytes();
std::string change_script_bytes(std::wstring_view directory);

// cmd reads a directory name as commands unless it is escaped: carets before
// ^ & | < > ( ) and doubled percent signs for the echo line ...
std::wstring escape_for_echo(std::wstring_view text);
// ... and doubled percent signs inside the quoted chdir argument.
std::wstring escape_for_quoted(std::wstring_view text);

void reset_change_script();
void write_change_script();  // writes the program state's chosen directory

}  // namespace zrn
