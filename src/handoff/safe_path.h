#pragma once
// Which paths may reach the change script. The script is code that the user's
// own shell runs, and its paths come from places anyone may have written: an
// index on a shared drive or a stick, a listing, ZRN.INI.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "paths/paths.h"
#include "platform/files.h"

namespace zrn {

// True when `path` can name a directory on Windows: not empty, not longer than
// kLongestDirectory, no control character (below U+0020), none of " < > | * ?
// (no name may hold them, and cmd's chdir reads * and ? as wildcards), and no
// half of a surrogate pair (UTF-8 cannot carry one, so the script would name
// some other directory).
bool plausible_directory(std::wstring_view path);

// The same rule for a line of an index, where '?' is allowed: it stands for a
// character that the ANSI code page cannot hold, and is resolved to the real
// name before the path is offered.
bool plausible_index_line(std::wstring_view line);

// An index line that may stand for a directory of the drive at `drive_root`
// (the drive the index lies on): it starts with that root (letter case
// aside), names something below it, and no component is empty, "." or ".."
// (nor only dots and blanks, which Windows trims to those), nor holds a '/'
// or ':'; so no line leads off the drive, onto a share or to a device.
bool index_line_on_drive(std::wstring_view line, std::wstring_view drive_root);

// Where `directory` leads when a link takes it off its own drive (to another
// drive, a network path or a volume without a letter), as `destination`
// found it, against where its drive's root leads (`root`: a drive that is
// itself a share, or a substituted folder, stays one drive); nothing when it
// stays on its drive or the way cannot be read.
std::optional<std::wstring> off_drive_destination(std::wstring_view directory,
                                                  const std::optional<platform::Destination>& destination,
                                                  const std::optional<platform::Destination>& root);
// The same for a directory on disk.
std::optional<std::wstring> link_off_drive(const std::wstring& directory);
// What the page and the confirmation say after such a directory.
std::wstring link_note(std::wstring_view destination);

}  // namespace zrn
