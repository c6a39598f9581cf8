#include "index/index_storage.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "paths/paths.h"
#include "platform/files.h"
#include "platform/shell_folders.h"
#include "platform/system.h"
#include "platform/system_info.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr int kInstallAttempts = 20;
constexpr unsigned kInstallRetryPause = 50;

bool all_digits(std::wstring_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::optional<std::uint64_t> parse_number(std::wstring_view text, unsigned base) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  std::uint64_t value = 0;
  for (const wchar_t c : text) {
    unsigned digit = 0;
    if (c >= L'0' && c <= L'9') {
      digit = static_cast<unsigned>(c - L'0');
    } else if (base == 16 && c >= L'A' && c <= L'F') {
      digit = static_cast<unsigned>(c - L'A' + 10);
    } else {
      return std::nullopt;
    }
    if (value > (UINT64_MAX - digit) / base) return std::nullopt;
    value = value * base + digit;
  }
  return value;
}

std::wstring hex16(std::uint64_t value) {
  std::wstring text(16, L'0');
  for (int i = 15; i >= 0; --i, value >>= 4) {
    const auto digit = static_cast<unsigned>(value & 0xF);
    text[static_cast<std::size_t>(i)] = static_cast<wchar_t>(digit < 10 ? L'0' + digit : L'A' + digit - 10);
  }
  return text;
}

// What this run has named so far; the control thread may read it while the
// main thread works, hence the lock. It is never destroyed: the control
// thread may still use it while the process ends.
struct Registry {
  std::mutex lock;
  std::set<std::wstring> live;
  std::set<std::wstring> swept;  // directory + base, cleaned once per run
  std::uint64_t counter = 0;
  const PrivateOwner me{platform::computer_name(), platform::this_process()};
};

Registry& registry() {
  static Registry* const the_registry = new Registry;
  return *the_registry;
}

// However many leftovers (or files made to look like them) lie in a folder,
// one sweep of it looks at so many names and tries so many deletions only.
constexpr std::size_t kMostNamesLooked = 1000;
constexpr std::size_t kMostDeletionsTried = 100;

const PrivateOwner& this_run() { return registry().me; }

void remove_leftovers(const std::wstring& directory, std::wstring_view base, bool in_data_directory) {
  const std::int64_t now = platform::now_utc_seconds();
  std::size_t tried = 0;
  for (const auto& file : platform::files_matching(directory + std::wstring(base) + L".*", kMostNamesLooked)) {
    const SweepCandidate candidate{file.name, file.plain_file, file.read_only, now - file.last_write_utc_seconds};
    if (tried == kMostDeletionsTried) break;
    const auto running = [&](const platform::ProcessIdentity& process) {
      ++tried;
      return platform::process_running(process);
    };
    if (is_sweepable_leftover(candidate, base, this_run(), in_data_directory, running)) {
      platform::delete_plain_file(directory + file.name);
    }
  }
}

// Sweeps the folder for one base name, the first time in the run only.
void sweep_once(const std::wstring& directory, std::wstring_view base, bool in_data_directory) {
  auto& r = registry();
  {
    std::lock_guard lock(r.lock);
    if (!r.swept.insert(directory + std::wstring(base)).second) return;
  }
  remove_leftovers(directory, base, in_data_directory);
}

}  // namespace

std::wstring data_directory_path(const std::wstring& drive_root) {
  return drive_root + std::wstring(kDataDirectoryName);
}

std::wstring index_file_path(const std::wstring& drive_root) {
  return data_directory_path(drive_root) + L"\\" + std::wstring(kIndexFileName);
}

std::wstring private_file_name(std::wstring_view base, const PrivateOwner& owner, std::uint64_t counter) {
  return std::wstring(base) + L"." + owner.computer + L"." + std::to_wstring(owner.process.id) + L"-" +
         hex16(owner.process.created) + L"-" + std::to_wstring(counter);
}

std::optional<PrivateOwner> private_file_owner(std::wstring_view name, std::wstring_view base) {
  // File names compare without regard to case.
  if (name.size() <= base.size() + 1 || platform::upper(name.substr(0, base.size())) != platform::upper(base) ||
      name[base.size()] != L'.') {
    return std::nullopt;
  }
  std::wstring_view tag = name.substr(base.size() + 1);
  // A computer's name holds no dot; the process part after it none either.
  const auto dot = tag.find(L'.');
  if (dot == std::wstring_view::npos || tag.find(L'.', dot + 1) != std::wstring_view::npos) return std::nullopt;
  const std::wstring_view computer = tag.substr(0, dot);
  tag.remove_prefix(dot + 1);
  const auto first = tag.find(L'-');
  const auto second = first == std::wstring_view::npos ? first : tag.find(L'-', first + 1);
  if (second == std::wstring_view::npos) return std::nullopt;
  const std::wstring_view id = tag.substr(0, first);
  const std::wstring_view created = tag.substr(first + 1, second - first - 1);
  const std::wstring_view counter = tag.substr(second + 1);
  const auto id_value = parse_number(id, 10);
  const auto created_value = parse_number(created, 16);
  if (!id_value || *id_value > UINT32_MAX || created.size() != 16 || !created_value || !all_digits(counter)) {
    return std::nullopt;
  }
  return PrivateOwner{std::wstring(computer),
                      platform::ProcessIdentity{static_cast<std::uint32_t>(*id_value), *created_value}};
}

bool is_sweepable_leftover(const SweepCandidate& file, std::wstring_view base, const PrivateOwner& me,
                           bool in_data_directory,
                           const std::function<bool(const platform::ProcessIdentity&)>& running) {
  // Our own files are plain and never read-only: anything else is no
  // leftover of ours and costs no look at the process list.
  if (!file.plain_file || file.read_only) return false;
  if (in_data_directory && file.age_seconds < kLeftoverAgeSeconds) return false;
  const auto owner = private_file_owner(file.name, base);
  // A process id means something only on the computer that made the name.
  if (!owner || platform::upper(owner->computer) != platform::upper(me.computer) || owner->process == me.process) {
    return false;
  }
  return !running(owner->process);
}

void sweep_temporary_directory(const std::wstring& directory) {
  for (const std::wstring& base :
       {std::wstring(kIndexFileName), std::wstring(kIndexFileName) + L"1", std::wstring(kSubdirectoryListName)}) {
    sweep_once(directory, base, false);
  }
}

WorkingFile::WorkingFile(const std::wstring& directory, std::wstring_view base, SweepRule rule) {
  auto& r = registry();
  {
    std::lock_guard lock(r.lock);
    path_ = directory + private_file_name(base, this_run(), ++r.counter);
    r.live.insert(path_);
  }
  sweep_once(directory, base, rule == SweepRule::shared);
  // Nothing of this name may exist yet; should it, it is no output of ours.
  platform::delete_plain_file(path_);
}

WorkingFile::~WorkingFile() {
  platform::delete_plain_file(path_);
  auto& r = registry();
  std::lock_guard lock(r.lock);
  r.live.erase(path_);
}

void delete_working_files() {
  auto& r = registry();
  std::lock_guard lock(r.lock);
  for (const auto& path : r.live) platform::delete_plain_file(path);
}

bool prepare_data_directory(const std::wstring& drive_root) {
  const std::wstring directory = data_directory_path(drive_root);
  platform::create_directory(directory);
  // A link there (a junction needs no privilege) would carry the index and
  // the readme into a folder of someone's choosing.
  if (!platform::is_plain_directory(directory)) return false;
  platform::set_hidden_only(directory);
  return true;
}

std::string readme_bytes(std::wstring_view web_address) {
  std::wstring text;
  for (const std::wstring_view line :
       {std::wstring_view(L"This hidden directory contains the file IndexFile.ZRN."),
        std::wstring_view(L"This is an index file for the Zarnpath program."),
        std::wstring_view(L"If you no longer use this app, you can delete this directory."),
        std::wstring_view(L"If you continue using the program, the directory will be recreated automatically."),
        web_address}) {
    text.append(line);
    text.append(L"\r\n");
  }
  return platform::to_ansi(text);
}

void write_readme(const std::wstring& drive_root, std::wstring_view web_address) {
  const std::wstring directory = data_directory_path(drive_root) + L"\\";
  // Written anew and renamed into place: a rename replaces a link at the
  // readme's name, where writing to it would overwrite what it points to.
  const WorkingFile incoming(directory, std::wstring(kReadmeName) + L"~", SweepRule::shared);
  const std::string bytes = readme_bytes(web_address);
  platform::File file = platform::File::create_new(incoming.path());
  if (!file.is_open() || !file.write(bytes)) return;
  file.close();
  platform::move_file_replacing(incoming.path(), directory + std::wstring(kReadmeName));
}

std::wstring fallback_index_path(const std::wstring& drive_root) {
  const auto local = platform::special_folder_path(platform::special_folder::local_app_data);
  if (!local || local->empty() || drive_root.empty()) return L"";
  return platform::with_backslash(*local) + std::wstring(kDataDirectoryName) + L"\\" +
         fallback_index_name(drive_root, platform::volume_serial(drive_root));
}

std::wstring fallback_index_name(const std::wstring& drive_root, std::optional<std::uint32_t> serial) {
  std::wstring name = L"Indexfile-" + platform::upper(drive_root.substr(0, 1));
  if (serial) name += L"-" + hex16(*serial).substr(8);
  return name + L".ZRN";
}

bool fallback_preferred(std::optional<std::int64_t> own_time, std::optional<std::int64_t> fallback_time) {
  return fallback_time && (!own_time || *fallback_time > *own_time);
}

namespace {

// Copies the listing beside `index_path` and renames it over the index;
// false, with the reason in `error`, when either step fails.
bool install_at(const std::wstring& filtered_path, const std::wstring& directory, const std::wstring& index_path,
                std::wstring* error) {
  const WorkingFile incoming(directory, std::wstring(kIndexFileName) + L"~", SweepRule::shared);
  if (!platform::copy_to_new_file(filtered_path, incoming.path())) {
    *error = L"the copy to " + incoming.path() + L" failed (" + platform::last_error_text() + L")";
    return false;
  }
  // A search reading the index, or a scanner looking at it, can hold it
  // for a moment: try again briefly before giving up.
  for (int attempt = 0; attempt < kInstallAttempts; ++attempt) {
    if (attempt > 0) platform::pause(kInstallRetryPause);
    if (platform::move_file_replacing(incoming.path(), index_path)) return true;
  }
  *error = L"it could not replace " + index_path + L" (" + platform::last_error_text() + L")";
  return false;
}

}  // namespace

std::optional<std::int64_t> usable_index_time(const std::wstring& path) {
  if (path.empty() || platform::is_directory(path) || platform::file_size(path).value_or(0) == 0) return std::nullopt;
  return platform::last_write_local_seconds(path);
}

std::wstring index_in_use(const std::wstring& drive_root) {
  const std::wstring own = index_file_path(drive_root);
  const std::wstring fallback = fallback_index_path(drive_root);
  return fallback_preferred(usable_index_time(own), usable_index_time(fallback)) ? fallback : own;
}

std::wstring install_index(const std::wstring& filtered_path, const std::wstring& drive_root, bool own_place_usable,
                           std::wstring* error) {
  const std::wstring index_path = index_file_path(drive_root);
  const std::wstring fallback = fallback_index_path(drive_root);
  *error = L"the drive's data directory is no plain directory";
  if (own_place_usable && install_at(filtered_path, data_directory_path(drive_root) + L"\\", index_path, error)) {
    // The drive's own index is the newest now; an older copy elsewhere
    // would only stand in its way.
    if (!fallback.empty()) platform::delete_file(fallback);
    return index_path;
  }
  if (fallback.empty()) return L"";
  const std::wstring directory = fallback.substr(0, fallback.rfind(L'\\') + 1);
  std::wstring fallback_error;
  if (!platform::create_directories(directory)) {
    fallback_error = L"the folder " + directory + L" could not be made (" + platform::last_error_text() + L")";
  } else if (install_at(filtered_path, directory, fallback, &fallback_error)) {
    return fallback;
  }
  *error += L"; in its place, " + fallback_error;
  return L"";
}

}  // namespace zrn
