#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/process.h"

namespace zrn {

// The folder at each drive's root that holds its index and readme, and their names.
inline constexpr std::wstring_view kDataDirectoryName = L"Zarnpath";
inline constexpr std::wstring_view kIndexFileName = L"Indexfile.ZRN";
inline constexpr std::wstring_view kReadmeName = L"Readme.TXT";
// The listing of the current directory's sub-directories.
inline constexpr std::wstring_view kSubdirectoryListName = L"ZRNDIRAD";

// drive root + "Zarnpath"
std::wstring data_directory_path(const std::wstring& drive_root);
// drive root + "Zarnpath\Indexfile.ZRN"
std::wstring index_file_path(const std::wstring& drive_root);
// Where the index of a drive whose root cannot be written lives instead: the
// user's local application data + "Zarnpath\" + `fallback_index_name`;
// empty when the system names no such folder.
std::wstring fallback_index_path(const std::wstring& drive_root);
// "Indexfile-D-0123ABCD.ZRN" for drive D: and its volume's serial number, so
// that another disc or stick in the same drive never reads this one's index;
// "Indexfile-D.ZRN" when the serial number is unknown.
std::wstring fallback_index_name(const std::wstring& drive_root, std::optional<std::uint32_t> serial);
// The index a search reads: the newer of the two, or the one that exists.
std::wstring index_in_use(const std::wstring& drive_root);
// When the index at `path` was last written (local seconds since 1970);
// nothing when it is absent, empty or no file.
std::optional<std::int64_t> usable_index_time(const std::wstring& path);
// The rule behind it, for the two files' last write times (nothing for one
// that is absent or empty): true when the fallback is the one to read.
bool fallback_preferred(std::optional<std::int64_t> own_time, std::optional<std::int64_t> fallback_time);

// The names a run gives its working files: the usual name ("Indexfile.ZRN",
// "Indexfile.ZRN1", "ZRNDIRAD", "Indexfile.ZRN~", "Readme.TXT~"), a dot, the
// computer's name, a dot, then the run's process id and creation time and a
// counter, so that no two runs, at the same time or one after a killed one,
// on one computer or on two that share a folder, ever share a file.
struct PrivateOwner {
  std::wstring computer;
  platform::ProcessIdentity process;
  bool operator==(const PrivateOwner&) const = default;
};
std::wstring private_file_name(std::wstring_view base, const PrivateOwner& owner, std::uint64_t counter);
// The run that owns a file of that form, or nothing for any other name.
std::optional<PrivateOwner> private_file_owner(std::wstring_view name, std::wstring_view base);

// A file as the leftover sweep sees it.
struct SweepCandidate {
  std::wstring_view name;
  bool plain_file = false;  // neither a directory nor a link
  bool read_only = false;
  std::int64_t age_seconds = 0;  // since its last write
};
// In a drive's data directory, which other computers may share, only
// leftovers older than this are swept (an hour: no install takes so long).
inline constexpr std::int64_t kLeftoverAgeSeconds = 3600;
// The sweep's rule: a plain, writable file whose name this computer made,
// for a run other than `me` that no longer runs (`running` asks), and in the
// data directory also older than kLeftoverAgeSeconds.
bool is_sweepable_leftover(const SweepCandidate& file, std::wstring_view base, const PrivateOwner& me,
                           bool in_data_directory,
                           const std::function<bool(const platform::ProcessIdentity&)>& running);

// Removes the leftovers of earlier runs from the temporary directory
// (ending with a backslash), once per run: a killed build's listing can be
// large.
void sweep_temporary_directory(const std::wstring& directory);

// Which sweep rule the folder of a working file follows: the user's own
// temporary directory, or a folder that other computers may share (a drive's
// data directory, the fallback place), where leftovers must be old too.
enum class SweepRule { temporary, shared };

// A working file of this run in `directory` (ending with a backslash). The
// name is taken when the object is made; the file, if anything created it,
// is deleted when the object goes, and by `delete_working_files` when the
// run is cut short. Leftovers of runs that no longer run are removed from the
// directory, by its rule, the first time the run uses a name there.
class WorkingFile {
 public:
  WorkingFile(const std::wstring& directory, std::wstring_view base, SweepRule rule);
  ~WorkingFile();
  WorkingFile(const WorkingFile&) = delete;
  WorkingFile& operator=(const WorkingFile&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// Deletes the working files of this run that still exist; safe from the
// console's control thread.
void delete_working_files();

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

}  // namespace zrn
