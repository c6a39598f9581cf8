#include "index/working_files.h"

#include <mutex>
#include <set>

#include "index/index_places.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "platform/text.h"

namespace zrn {

namespace {

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

std::wstring private_file_name(std::wstring_view base, const PrivateOwner& owner, std::uint64_t counter) {
  return std::wstring(base) + L"." + owner.computer + L"." + std::to_wstring(owner.process.id) + L"-" +
         platform::hex_digits(owner.process.created, 16) + L"-" + std::to_wstring(counter);
}

std::optional<PrivateOwner> private_file_owner(std::wstring_view name, std::wstring_view base) {
  // File names compare without regard to case.
  if (name.size() <= base.size() + 1 || !platform::starts_with_ignoring_case(name, base) || name[base.size()] != L'.') {
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
  const auto id_value = platform::parse_number(id, 10, UINT32_MAX);
  const auto created_value = platform::parse_number(created, 16);
  if (!id_value || created.size() != 16 || !created_value || !platform::parse_number(counter)) {
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
  if (!owner || !platform::same_text_ignoring_case(owner->computer, me.computer) || owner->process == me.process) {
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

bool replace_file_whole(const std::wstring& directory, std::wstring_view name, std::string_view bytes) {
  const WorkingFile incoming(directory, std::wstring(name) + L"~", SweepRule::shared);
  platform::File file = platform::File::create_new(incoming.path());
  if (!file.is_open() || !file.write(bytes) || !file.flush()) return false;
  file.close();
  return platform::move_file_replacing(incoming.path(), directory + std::wstring(name));
}

}  // namespace zrn
