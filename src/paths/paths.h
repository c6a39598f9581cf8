#pragma once
// Path rules that more than one layer needs: the forms of a drive root and of
// an absolute path, the lengths a path may have, and the one rule for the
// run's temporary folder.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zrn {

// The longest path handed to the change script, in UTF-16 units. cmd reads at
// most 8,191 characters of a line. A unit becomes at most three bytes of UTF-8
// and an escaped ASCII character a few, so the longest line of the script
// stays near 6,000 bytes, and under the limit even at four bytes a unit.
inline constexpr std::size_t kLongestDirectory = 2000;

// The longest directory cmd's chdir can enter: SetCurrentDirectoryW takes
// MAX_PATH (260) units with the backslash it adds and the closing null.
inline constexpr std::size_t kLongestEnterableDirectory = 258;
// True when cmd can make `directory` the current one by its length.
bool cmd_can_enter(std::wstring_view directory);

// A drive root as the program uses it: an ASCII letter, a colon and a
// backslash. Any other character before a colon names no drive.
bool is_drive_root(std::wstring_view root);
// True for a path that names a folder from a drive's root or a share: "X:\"
// or "\\server\share" followed by anything.
bool is_absolute_path(std::wstring_view path);

// TMP, else TEMP, as the environment holds it (the wrapper names its run
// folders by it); nothing when neither is set.
std::optional<std::wstring> temporary_variable();
// The user's temporary directory, long form, ending with a backslash. One
// that does not exist is created; one that is no absolute path (a TEMP
// stored unexpanded, a relative one) or cannot be made is not used: the
// profile's own temporary directory or the system's is used instead, so that
// the searches of the run never go blind. The run asks once.
std::wstring temporary_directory();

}  // namespace zrn
