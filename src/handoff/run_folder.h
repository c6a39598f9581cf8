#pragma once
// The folder that the wrapper claims for one run, ZRN-<id> in the temporary
// folder: the words it captured, the change script of the run, and the
// removal of folders that stopped runs left behind.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrn {

inline constexpr std::wstring_view kCapturedWordsName = L"ZRNARGS.TXT";
// The wrapper's test of its own echo, apart from the words.
inline constexpr std::wstring_view kProbeName = L"ZRNPROBE.TXT";

// ZRN2.BAT directly inside a folder ZRN-<name> directly inside
// `temporary_directory` (which ends with a backslash), in any letter case.
bool is_run_script_path(std::wstring_view script, std::wstring_view temporary_directory);

// A number of digits only, as earlier wrappers named their markers.
std::optional<std::wstring> run_token(const std::optional<std::wstring>& value);
// The files a run makes in its folder (and the markers of earlier
// versions), which alone the sweep removes.
bool is_run_file_name(std::wstring_view name);

// The typed text from the file that the wrapper's echo filled: what stands
// between "rem ZRN-WORDS #" and the last "#" of the lines that start so. The
// wrapper echoes it twice, under two loop letters; unless the two agree
// (cmd changed a "%~" of the typed text), there are no words.
std::optional<std::wstring> captured_arguments(std::wstring_view echoed);

// A folder that a stopped run left behind: named ZRN-*, no link, and
// unchanged for more than a day.
bool is_stale_run_folder(std::wstring_view name, bool is_link, std::int64_t age_seconds);

// Which of `candidates` stale folders one sweep takes: at most `most`, from
// a place that `turn` moves, so that folders nobody can remove, however
// many come first in name order, never keep the sweep from the others.
std::vector<std::size_t> sweep_turn(std::size_t candidates, std::size_t most, std::uint64_t turn);

// Removes stale run folders in `temporary_directory`, and in them only the
// files a run makes. A folder whose run is still going stays: its program
// holds the script open.
void remove_stale_run_folders(const std::wstring& temporary_directory);

}  // namespace zrn
