#pragma once
// Files and directories, in the program's own terms. Every handle is owned by
// an object that closes it on every path.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrn::platform {

// An open file handle; closes itself.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Shared for reading, writing and deleting, so a file that an editor holds
  // open is still read, and a build may rename a new index over one that a
  // search is reading.
  static File open_for_reading(const std::wstring& path);
  // Create-always; when the system refuses, truncate the existing file.
  static File create_for_writing(const std::wstring& path, bool exclusive = false);
  // Only a file that did not exist (nor a link of that name), held without
  // sharing: nobody else reads, writes or deletes it while it is open.
  static File create_new(const std::wstring& path);

  bool is_open() const { return handle_ != nullptr; }
  // Reads up to size bytes: the count read, 0 at the end of the file, nothing
  // when reading failed, so a pass never mistakes a failure for the end.
  std::optional<std::size_t> read(char* buffer, std::size_t size);
  bool write(std::string_view bytes);
  // Replaces the whole content through the open handle.
  bool rewrite(std::string_view bytes);
  bool flush();
  void close();

 private:
  explicit File(void* handle) : handle_(handle) {}
  void* handle_ = nullptr;
};

struct DirectoryEntry {
  std::wstring name;
  bool is_directory = false;
};

std::optional<std::string> read_whole_file(const std::wstring& path);
// Writes the whole file anew (create-always, then truncate-existing).
bool write_whole_file(const std::wstring& path, std::string_view bytes, bool exclusive = false);

bool path_exists(const std::wstring& path);
bool is_directory(const std::wstring& path);
std::optional<std::uint64_t> file_size(const std::wstring& path);
// Last write time in local time, as whole seconds since 1970-01-01.
std::optional<std::int64_t> last_write_local_seconds(const std::wstring& path);
std::int64_t now_local_seconds();

bool delete_file(const std::wstring& path);
// A file that is no junction or symbolic link.
bool is_plain_file(const std::wstring& path);
bool remove_empty_directory(const std::wstring& path);
// Deletes the file only when it is a plain file of that very name: no
// directory, no link (junction, symbolic link) and not reached through one,
// so that what a link points to is never deleted.
bool delete_plain_file(const std::wstring& path);
// A directory of that very name, no link and not reached through one (the
// directory above it may be).
bool is_plain_directory(const std::wstring& path);
// Copies `from` into a file made anew at `to` (see File::create_new); a
// failed copy leaves nothing at `to`.
bool copy_to_new_file(const std::wstring& from, const std::wstring& to);
std::int64_t now_utc_seconds();

struct FoundFile {
  std::wstring name;
  bool plain_file = false;  // neither a directory nor a link
  bool directory = false;   // a directory or a link to one
  bool link = false;        // a junction or symbolic link
  bool read_only = false;
  std::int64_t last_write_utc_seconds = 0;
};
// The entries that match a pattern such as "C:\Temp\ZRNDIRAD.*", at most
// `limit` of them, in the file system's order.
std::vector<FoundFile> files_matching(const std::wstring& pattern, std::size_t limit);
// Replaces the target and returns only once the move is on disk.
bool move_file_replacing(const std::wstring& from, const std::wstring& to);
bool create_directory(const std::wstring& path);
// Gives the directory (no link) a protected access list that lets only the
// current user in, inherited by what is made in it later: nobody else can
// add, replace or remove a file there from then on.
bool make_private_to_user(const std::wstring& directory);
// The file (no link) is owned by the current user (or the owner that the
// user's new files get, such as the administrators of an elevated prompt):
// nobody else made it, and nobody else can change who may write it.
bool owned_by_user(const std::wstring& path);
bool set_hidden_only(const std::wstring& path);
std::optional<std::uint32_t> attributes(const std::wstring& path);

std::wstring temp_path();  // long form, ends with a backslash
// The long form of an existing path; the path itself when there is none.
std::wstring long_path(const std::wstring& path);
std::wstring module_directory();  // ends with a backslash
std::wstring current_directory();
// Some entries of a directory and how many it has.
struct DirectoryListing {
  bool readable = false;
  std::vector<DirectoryEntry> entries;  // in the file system's order
  std::size_t total = 0;                // entries counted
  bool counted_all = true;              // false when the count stopped early
};
// The entries except "." and "..": at most `limit` directories and at most
// `limit` files, and the count of all, up to `most_counted`. Not readable
// when the directory cannot be opened.
DirectoryListing list_directory(const std::wstring& directory, std::size_t limit, std::size_t most_counted);
// Creates the directory and any missing directories above it.
bool create_directories(const std::wstring& path);
// Where a directory leads once every link on the way is followed: its final
// path (a network path for a folder of a drive that is a share), found
// without opening anything past a link that leads to a network path or to a
// volume without a drive letter (`elsewhere` then, with the link's target as
// the path). Nothing when the way cannot be read.
struct Destination {
  std::wstring path;
  bool elsewhere = false;
};
std::optional<Destination> directory_destination(const std::wstring& path);

std::wstring windows_directory();  // ends with a backslash; empty when unknown
std::wstring system_directory();   // ends with a backslash; empty when unknown
// The names of the directories that a FindFirstFileW pattern finds (a
// directory, a backslash and a last component with wildcards), except "." and
// "..", in the file system's order; at most `limit` of them.
std::vector<std::wstring> find_directories(const std::wstring& pattern, std::size_t limit);
// GetLogicalDriveStringsW, taking only the whole four-unit entries.
std::vector<std::wstring> logical_drives();
// The serial number of the volume at a drive root; nothing when unknown.
std::optional<std::uint32_t> volume_serial(const std::wstring& drive_root);

}  // namespace zrn::platform
