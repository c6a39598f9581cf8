#pragma once
// Putting a built index into place: the data directory made safe, the
// readme written beside it, the listing copied and renamed over the index.
#include <functional>
#include <string>
#include <string_view>

namespace zrn {

// Creates the drive's data directory if needed and leaves it hidden only.
// False when it is no plain directory (a link to a folder elsewhere, say):
// then nothing is written there.
bool prepare_data_directory(const std::wstring& drive_root);
// The five readme lines, ANSI code page, each ended by CR LF; the last is
// the program's web address.
std::string readme_bytes(std::wstring_view web_address);
void write_readme(const std::wstring& drive_root, std::wstring_view web_address);
// Puts the finished filtered listing into place as the drive's index and
// returns true. The copy lands beside the index under a private name and is
// then renamed over it, so the index path only ever holds a whole index, and
// of two runs that install at once the last one wins. When the drive's own
// place cannot be written (or is not `own_place_usable`: a data directory
// that is a link), the index goes to the fallback place instead; false when
// neither can be: the previous index stays as it was. Returns where the
// index went; empty, with what failed in `error`, when it went nowhere.
std::wstring install_index(const std::wstring& filtered_path, const std::wstring& drive_root, bool own_place_usable,
                           std::wstring* error);
// The install's last step, `move` (the rename over the index), tried again
// briefly while it fails: true once it succeeds.
bool move_with_retries(const std::function<bool()>& move);

}  // namespace zrn
