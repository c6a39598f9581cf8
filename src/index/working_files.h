#pragma once
// The files a run works with: private names no other run shares, the
// registry that deletes them however the run ends, and the sweep of the
// leftovers of runs that were killed.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/process.h"

namespace zrn {

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

// Writes `bytes` whole under a working name in `directory` (a folder others
// may share) and renames that over `name`: a reader sees the old file or the
// new one, and a link at the name is replaced, never written through.
bool replace_file_whole(const std::wstring& directory, std::wstring_view name, std::string_view bytes);

}  // namespace zrn
