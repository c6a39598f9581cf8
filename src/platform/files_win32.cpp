#include "platform/files.h"

#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>
#include <winioctl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/handle_win32.h"
#include "platform/text.h"

namespace zrn::platform {

namespace {

constexpr std::int64_t kUnixEpochIn100ns = 116444736000000000LL;

std::int64_t to_unix_seconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return (static_cast<std::int64_t>(value.QuadPart) - kUnixEpochIn100ns) / 10000000LL;
}

// Closes a find handle; an invalid one is left alone.
struct FindCloser {
  void operator()(void* find) const {
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
  }
};

}  // namespace

File::~File() { close(); }

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

File File::open_for_reading(const std::wstring& path) {
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return File();
  return File(handle);
}

File File::create_for_writing(const std::wstring& path, bool exclusive) {
  const DWORD share = exclusive ? 0 : FILE_SHARE_READ;
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    handle =
        CreateFileW(path.c_str(), GENERIC_WRITE, share, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (handle == INVALID_HANDLE_VALUE) return File();
  return File(handle);
}

File File::create_new(const std::wstring& path) {
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return File();
  return File(handle);
}

File File::hold_exclusively(const std::wstring& path) {
  // Read access only: the lock never changes what lies at its name.
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return File();
  return File(handle);
}

bool File::rewrite(std::string_view bytes) {
  LARGE_INTEGER start{};
  return handle_ && SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN) && write(bytes) && SetEndOfFile(handle_);
}

std::optional<std::size_t> File::read(char* buffer, std::size_t size) {
  if (!handle_) return std::nullopt;
  DWORD got = 0;
  const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  if (!ReadFile(handle_, buffer, want, &got, nullptr)) return std::nullopt;
  return got;
}

bool File::write(std::string_view bytes) {
  if (!handle_) return false;
  while (!bytes.empty()) {
    const DWORD want = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(handle_, bytes.data(), want, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool File::flush() { return handle_ && FlushFileBuffers(handle_); }

void File::close() {
  if (handle_) CloseHandle(std::exchange(handle_, nullptr));
}

std::optional<std::string> read_whole_file(const std::wstring& path) {
  File file = File::open_for_reading(path);
  if (!file.is_open()) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  for (auto got = file.read(buffer, sizeof buffer); got && *got > 0; got = file.read(buffer, sizeof buffer)) {
    bytes.append(buffer, *got);
  }
  return bytes;
}

bool write_whole_file(const std::wstring& path, std::string_view bytes, bool exclusive) {
  File file = File::create_for_writing(path, exclusive);
  if (!file.is_open()) return false;
  const bool ok = file.write(bytes) && file.flush();
  file.close();
  return ok;
}

std::optional<std::uint32_t> attributes(const std::wstring& path) {
  const DWORD value = GetFileAttributesW(path.c_str());
  if (value == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return value;
}

bool path_exists(const std::wstring& path) { return attributes(path).has_value(); }

bool is_plain_file(const std::wstring& path) {
  const auto value = attributes(path);
  return value && !(*value & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

bool remove_empty_directory(const std::wstring& path) { return RemoveDirectoryW(path.c_str()) != 0; }

bool is_directory(const std::wstring& path) {
  const auto value = attributes(path);
  return value && (*value & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::uint64_t> file_size(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::int64_t> last_write_local_seconds(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  SYSTEMTIME utc;
  SYSTEMTIME local;
  FILETIME local_time;
  if (!FileTimeToSystemTime(&data.ftLastWriteTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
      !SystemTimeToFileTime(&local, &local_time)) {
    return std::nullopt;
  }
  return to_unix_seconds(local_time);
}

std::int64_t now_local_seconds() {
  SYSTEMTIME local;
  GetLocalTime(&local);
  FILETIME time;
  if (!SystemTimeToFileTime(&local, &time)) return 0;
  return to_unix_seconds(time);
}

bool delete_file(const std::wstring& path) { return DeleteFileW(path.c_str()) != 0; }

namespace {

Handle open_itself(const std::wstring& path, DWORD access) {
  // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself rather than its target;
  // FILE_FLAG_BACKUP_SEMANTICS lets a directory be opened at all.
  return Handle(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::wstring final_path(HANDLE handle) {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = GetFinalPathNameByHandleW(handle, buffer, MAX_PATH + 1, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0 || length > MAX_PATH) return L"";
  return std::wstring(buffer, length);
}

bool same_name(const std::wstring& a, const std::wstring& b) { return same_text_ignoring_case(a, b); }

// The opened entry is no link and was reached through none at its own name:
// Windows marks a link it opened itself as a reparse point; Wine opens the
// target even so (and deletes it), but names the target as the final path.
bool opened_itself(HANDLE handle, const std::wstring& path, bool directory) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != directory) {
    return false;
  }
  const auto cut = path.find_last_of(L'\\');
  if (cut == std::wstring::npos || cut + 1 == path.size()) return false;
  std::wstring parent = path.substr(0, cut);
  if (parent.size() == 2) parent += L'\\';  // a drive's root
  const Handle above = open_itself(parent, FILE_READ_ATTRIBUTES);
  if (!above) return false;
  std::wstring expected = final_path(above.get());
  if (expected.empty()) return false;
  if (expected.back() != L'\\') expected += L'\\';
  expected += path.substr(cut + 1);
  return same_name(final_path(handle), expected);
}

}  // namespace

namespace {

// The text a junction or a symbolic link points to, as the system keeps it
// ("\\??\\X:\\..." or "\\??\\UNC\\server\\share", or relative), and whether
// it is relative; nothing for any other kind of reparse point.
struct LinkTarget {
  std::wstring text;
  bool relative = false;
};
std::optional<LinkTarget> link_target(HANDLE handle) {
  std::vector<unsigned char> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
  DWORD got = 0;
  if (!DeviceIoControl(handle, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(), static_cast<DWORD>(buffer.size()),
                       &got, nullptr) ||
      got < 16) {
    return std::nullopt;
  }
  const auto word = [&](std::size_t at) { return static_cast<std::size_t>(buffer[at] | (buffer[at + 1] << 8)); };
  const auto tag = static_cast<DWORD>(word(0) | (word(2) << 16));
  // The names follow the header: a symbolic link has four bytes of flags more.
  const bool symbolic = tag == IO_REPARSE_TAG_SYMLINK;
  if (!symbolic && tag != IO_REPARSE_TAG_MOUNT_POINT) return std::nullopt;
  const std::size_t names = symbolic ? 20 : 16;
  const std::size_t offset = names + word(8);
  const std::size_t length = word(10);
  if (offset + length > got || got < names) return std::nullopt;
  LinkTarget target;
  target.text.resize(length / sizeof(wchar_t));
  std::memcpy(target.text.data(), buffer.data() + offset, target.text.size() * sizeof(wchar_t));
  target.relative = symbolic && (buffer[16] & 1) != 0;
  return target;
}

// The components of `path` after its drive root, with "." and ".." applied.
std::vector<std::wstring> components(std::wstring_view path) {
  std::vector<std::wstring> parts;
  for (std::size_t at = 0; at <= path.size();) {
    const std::size_t end = std::min(path.find(L'\\', at), path.size());
    const std::wstring part(path.substr(at, end - at));
    at = end + 1;
    if (part.empty() || part == L".") continue;
    if (part == L"..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  return parts;
}

std::wstring without_long_prefix(std::wstring path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\" + path.substr(7);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

}  // namespace

std::optional<Destination> directory_destination(const std::wstring& path) {
  constexpr int kMostLinks = 32;
  if (path.size() < 3 || path[1] != L':' || path[2] != L'\\') return std::nullopt;
  std::wstring root = path.substr(0, 3);
  std::vector<std::wstring> rest = components(std::wstring_view(path).substr(3));
  int links = 0;
  for (std::size_t i = 0; i < rest.size();) {
    std::wstring reached = root;
    for (std::size_t k = 0; k <= i; ++k) reached += (k ? L"\\" : L"") + rest[k];
    const Handle entry = open_itself(reached, FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION info;
    if (!entry || !GetFileInformationByHandle(entry.get(), &info)) return std::nullopt;
    const auto target =
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? link_target(entry.get()) : std::nullopt;
    if (!target) {
      ++i;
      continue;
    }
    if (++links > kMostLinks) return std::nullopt;
    // Follow the link by its text, never by opening what lies past it.
    std::wstring text = target->text;
    if (target->relative) {
      text = root;
      for (std::size_t k = 0; k < i; ++k) text += rest[k] + L"\\";
      text += target->text;
    } else if (text.rfind(L"\\??\\", 0) == 0 && text.size() >= 7 && text[5] == L':' && text[6] == L'\\') {
      text = text.substr(4);
    } else {
      return Destination{without_long_prefix(text.rfind(L"\\??\\", 0) == 0 ? L"\\\\?\\" + text.substr(4) : text), true};
    }
    std::vector<std::wstring> next = components(std::wstring_view(text).substr(3));
    next.insert(next.end(), rest.begin() + static_cast<std::ptrdiff_t>(i) + 1, rest.end());
    root = text.substr(0, 3);
    rest = std::move(next);
    i = 0;
  }
  std::wstring reached = root;
  for (std::size_t k = 0; k < rest.size(); ++k) reached += (k ? L"\\" : L"") + rest[k];
  // No link on the way leads off to a network: the system may follow the rest.
  const Handle whole(CreateFileW(reached.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!whole) return std::nullopt;
  const std::wstring final = final_path(whole.get());
  if (final.empty()) return std::nullopt;
  return Destination{without_long_prefix(final), false};
}

bool delete_plain_file(const std::wstring& path) {
  const Handle file = open_itself(path, DELETE | FILE_READ_ATTRIBUTES);
  if (!file || !opened_itself(file.get(), path, false)) return false;
  FILE_DISPOSITION_INFO disposition = {TRUE};
  return SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

bool is_plain_directory(const std::wstring& path) {
  const Handle directory = open_itself(path, FILE_READ_ATTRIBUTES);
  return directory && opened_itself(directory.get(), path, true);
}

bool copy_to_new_file(const std::wstring& from, const std::wstring& to) {
  File source = File::open_for_reading(from);
  if (!source.is_open()) return false;
  File target = File::create_new(to);
  if (!target.is_open()) return false;
  std::string buffer(std::size_t{1} << 20, '\0');
  bool ok = true;
  for (;;) {
    const auto got = source.read(buffer.data(), buffer.size());
    if (!got) ok = false;
    if (!got || *got == 0) break;
    if (!target.write(std::string_view(buffer.data(), *got))) {
      ok = false;
      break;
    }
  }
  ok = target.flush() && ok;
  target.close();
  if (!ok) delete_plain_file(to);
  return ok;
}

std::int64_t now_utc_seconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return to_unix_seconds(now);
}

std::vector<FoundFile> files_matching(const std::wstring& pattern, std::size_t limit) {
  std::vector<FoundFile> found;
  WIN32_FIND_DATAW data;
  const std::unique_ptr<void, FindCloser> find(FindFirstFileW(pattern.c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE || limit == 0) return found;
  do {
    FoundFile entry;
    entry.name = data.cFileName;
    entry.plain_file = !(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.read_only = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    entry.last_write_utc_seconds = to_unix_seconds(data.ftLastWriteTime);
    found.push_back(std::move(entry));
  } while (found.size() < limit && FindNextFileW(find.get(), &data));
  return found;
}

bool move_file_replacing(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool create_directory(const std::wstring& path) { return CreateDirectoryW(path.c_str(), nullptr) != 0; }

bool set_hidden_only(const std::wstring& path) { return SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN) != 0; }

std::wstring temp_path() {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return L"";
  std::wstring path(buffer, length);
  wchar_t long_form[MAX_PATH + 1] = {};
  const DWORD long_length = GetLongPathNameW(path.c_str(), long_form, MAX_PATH + 1);
  if (long_length > 0 && long_length <= MAX_PATH) path.assign(long_form, long_length);
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path;
}

std::wstring long_path(const std::wstring& path) {
  const DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::wstring long_form(size, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), long_form.data(), size);
  if (length == 0 || length >= size) return path;
  long_form.resize(length);
  return long_form;
}

std::wstring module_directory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH + 1);
  std::wstring path(buffer, length > MAX_PATH ? MAX_PATH : length);
  const auto cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::wstring current_directory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return L"";
  std::wstring path(size, L'\0');
  const DWORD length = GetCurrentDirectoryW(size, path.data());
  path.resize(length < size ? length : 0);
  return path;
}

DirectoryListing list_directory(const std::wstring& directory, std::size_t limit, std::size_t most_counted) {
  DirectoryListing listing;
  std::wstring pattern = directory;
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L"*.*";
  WIN32_FIND_DATAW data;
  const std::unique_ptr<void, FindCloser> find(FindFirstFileW(pattern.c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) {
    // An empty drive root has not even "." and "..".
    listing.readable = GetLastError() == ERROR_FILE_NOT_FOUND;
    return listing;
  }
  listing.readable = true;
  std::size_t directories = 0;
  std::size_t files = 0;
  do {
    const std::wstring_view name(data.cFileName);
    if (name == L"." || name == L"..") continue;
    if (listing.total == most_counted) {
      listing.counted_all = false;
      break;
    }
    ++listing.total;
    const bool is_directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::size_t& kept = is_directory ? directories : files;
    if (kept < limit) {
      ++kept;
      listing.entries.push_back({std::wstring(name), is_directory});
    }
  } while (FindNextFileW(find.get(), &data));
  return listing;
}

bool create_directories(const std::wstring& path) {
  std::wstring directory = path;
  while (directory.size() > 1 && (directory.back() == L'\\' || directory.back() == L'/')) directory.pop_back();
  if (directory.empty()) return false;
  if (is_directory(directory)) return true;
  const auto cut = directory.find_last_of(L"\\/");
  // Stops below a UNC server name, which no directory creation can make.
  if (cut != std::wstring::npos && cut > 0 && directory[cut - 1] != L'\\') {
    std::wstring parent = directory.substr(0, cut);
    if (parent.size() == 2 && parent[1] == L':') parent += L'\\';
    create_directories(parent);
  }
  return CreateDirectoryW(directory.c_str(), nullptr) != 0 || is_directory(directory);
}

namespace {

// A folder of the system's, ending with a backslash; empty when unknown.
std::wstring system_folder(UINT (*ask)(LPWSTR, UINT)) {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT length = ask(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return L"";
  std::wstring path(buffer, length);
  if (path.back() != L'\\') path += L'\\';
  return path;
}

UINT ask_windows_directory(LPWSTR buffer, UINT size) { return GetWindowsDirectoryW(buffer, size); }
UINT ask_system_directory(LPWSTR buffer, UINT size) { return GetSystemDirectoryW(buffer, size); }

}  // namespace

namespace {

// The user's own SID and the owner SID the user's new objects get.
bool token_sids(std::vector<unsigned char>& user, std::vector<unsigned char>& owner) {
  HANDLE token_handle = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token_handle)) return false;
  const Handle token(token_handle);
  const auto ask = [&](TOKEN_INFORMATION_CLASS kind, std::vector<unsigned char>& out) {
    DWORD size = 0;
    GetTokenInformation(token.get(), kind, nullptr, 0, &size);
    out.resize(size);
    return size > 0 && GetTokenInformation(token.get(), kind, out.data(), size, &size);
  };
  return ask(TokenUser, user) && ask(TokenOwner, owner);
}

}  // namespace

bool owned_by_user(const std::wstring& path) {
  const Handle file = open_itself(path, READ_CONTROL | FILE_READ_ATTRIBUTES);
  BY_HANDLE_FILE_INFORMATION info;
  if (!file || !GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  PSID file_owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(file.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &file_owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  std::vector<unsigned char> user;
  std::vector<unsigned char> owner;
  const bool owned = token_sids(user, owner) && file_owner &&
                     (EqualSid(file_owner, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid) ||
                      EqualSid(file_owner, reinterpret_cast<TOKEN_OWNER*>(owner.data())->Owner));
  LocalFree(descriptor);
  return owned;
}

bool make_private_to_user(const std::wstring& directory) {
  const Handle folder(CreateFileW(directory.c_str(), READ_CONTROL | WRITE_DAC, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!folder || !GetFileInformationByHandle(folder.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  HANDLE token_handle = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token_handle)) return false;
  const Handle token(token_handle);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return false;
  std::vector<unsigned char> user(size);
  if (!GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) return false;
  EXPLICIT_ACCESSW access{};
  access.grfAccessPermissions = GENERIC_ALL;
  access.grfAccessMode = SET_ACCESS;
  access.grfInheritance = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_USER;
  access.Trustee.ptstrName = static_cast<LPWSTR>(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
  PACL list = nullptr;
  if (SetEntriesInAclW(1, &access, nullptr, &list) != ERROR_SUCCESS) return false;
  const DWORD set =
      SetSecurityInfo(folder.get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                      nullptr, nullptr, list, nullptr);
  LocalFree(list);
  return set == ERROR_SUCCESS;
}

std::wstring windows_directory() { return system_folder(ask_windows_directory); }

std::wstring system_directory() { return system_folder(ask_system_directory); }

std::vector<std::wstring> find_directories(const std::wstring& pattern, std::size_t limit) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  const std::unique_ptr<void, FindCloser> find(FindFirstFileW(pattern.c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring_view name(data.cFileName);
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..") continue;
    names.emplace_back(name);
  } while (names.size() < limit && FindNextFileW(find.get(), &data));
  return names;
}

std::vector<std::wstring> logical_drives() {
  std::vector<std::wstring> drives;
  const DWORD needed = GetLogicalDriveStringsW(0, nullptr);
  if (needed == 0) return drives;
  std::wstring buffer(needed, L'\0');
  const DWORD written = GetLogicalDriveStringsW(needed, buffer.data());
  // A drive added between the two calls makes `written` exceed the buffer;
  // only entries that lie wholly inside it are taken.
  const std::size_t count = (written < needed ? written : needed) / 4;
  for (std::size_t i = 0; i < count; ++i) drives.push_back(buffer.substr(4 * i, 3));
  return drives;
}

std::optional<std::uint32_t> volume_serial(const std::wstring& drive_root) {
  DWORD serial = 0;
  if (!GetVolumeInformationW(drive_root.c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0))
    return std::nullopt;
  return serial;
}

}  // namespace zrn::platform

namespace zrn::platform {

bool is_local_drive(const std::wstring& drive_root) {
  const UINT kind = GetDriveTypeW(drive_root.c_str());
  if (kind != DRIVE_FIXED && kind != DRIVE_REMOVABLE) return false;
  // A card reader without a card: without this mode, the first look at it
  // would make Windows ask for a disk in a box.
  const UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const bool ready = GetVolumeInformationW(drive_root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
  SetErrorMode(mode);
  return ready;
}

}  // namespace zrn::platform
