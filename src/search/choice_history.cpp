#include "search/choice_history.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "handoff/safe_path.h"
#include "index/index_places.h"
#include "index/working_files.h"
#include "platform/files.h"
#include "platform/shell_folders.h"
#include "platform/system.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr std::string_view kFirstLine = "Zarnpath choices 1";
// Another run merging its choice holds the lock for a few milliseconds; one
// that waits this long gives up and writes anyway, the last writer winning.
constexpr int kLockAttempts = 60;
constexpr unsigned kLockPause = 50;

// The file's numbers are ASCII digits, read by the program's one parser.
template <typename Number>
bool parse_whole(std::string_view text, Number& value) {
  const auto parsed = platform::parse_number(std::wstring(text.begin(), text.end()), 10,
                                             static_cast<std::uint64_t>(std::numeric_limits<Number>::max()));
  if (parsed) value = static_cast<Number>(*parsed);
  return parsed.has_value();
}

std::optional<Choice> parse_line(std::string_view line) {
  const auto first = line.find('\t');
  const auto second = first == std::string_view::npos ? first : line.find('\t', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  Choice choice;
  choice.path = platform::from_utf8(line.substr(second + 1));
  if (!parse_whole(line.substr(0, first), choice.count) || choice.count == 0 ||
      !parse_whole(line.substr(first + 1, second - first - 1), choice.last_seconds) ||
      !plausible_directory(choice.path)) {
    return std::nullopt;
  }
  return choice;
}

}  // namespace

std::string choices_bytes(const std::vector<Choice>& choices) {
  std::string bytes(kFirstLine);
  bytes += "\r\n";
  for (const Choice& choice : choices) {
    bytes += std::to_string(choice.count) + "\t" + std::to_string(choice.last_seconds) + "\t" +
             platform::to_utf8(choice.path) + "\r\n";
  }
  return bytes;
}

std::vector<Choice> parse_choices(std::string_view bytes) {
  if (bytes.size() > kMostChoicesBytes) return {};
  std::vector<Choice> choices;
  bool first = true;
  while (!bytes.empty()) {
    const auto end = bytes.find("\r\n");
    // Every line, the last too, ends with CR LF: a cut file is a damaged one.
    if (end == std::string_view::npos) return {};
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end + 2);
    if (first) {
      if (line != kFirstLine) return {};
      first = false;
      continue;
    }
    auto choice = parse_line(line);
    if (!choice || choices.size() == kMostChoices) return {};
    choices.push_back(std::move(*choice));
  }
  return choices;
}

std::vector<Choice> with_choice(std::vector<Choice> choices, const std::wstring& path, std::int64_t now) {
  const std::wstring key = platform::upper(path);
  const auto known =
      std::find_if(choices.begin(), choices.end(), [&](const Choice& c) { return platform::upper(c.path) == key; });
  if (known != choices.end()) {
    ++known->count;
    known->last_seconds = std::max(known->last_seconds, now);
    known->path = path;
  } else {
    choices.push_back({path, 1, now});
  }
  // The strongest first, so that a bounded file keeps what counts most.
  std::stable_sort(choices.begin(), choices.end(),
                   [&](const Choice& a, const Choice& b) { return choice_weight(a, now) > choice_weight(b, now); });
  if (choices.size() > kMostChoices) choices.resize(kMostChoices);
  return choices;
}

std::wstring choices_directory() {
  const auto local = platform::special_folder_path(platform::special_folder::local_app_data);
  if (!local || local->empty()) return L"";
  return platform::with_backslash(*local) + std::wstring(kDataDirectoryName) + L"\\";
}

std::vector<Choice> read_choices(const std::wstring& directory) {
  if (directory.empty()) return {};
  const std::wstring path = directory + std::wstring(kChoicesName);
  // A file larger than any this program writes is not read at all.
  if (platform::file_size(path).value_or(0) > kMostChoicesBytes) return {};
  const auto bytes = platform::read_whole_file(path);
  return bytes ? parse_choices(*bytes) : std::vector<Choice>{};
}

bool record_choice(const std::wstring& directory, const std::wstring& path) {
  if (directory.empty() || !plausible_directory(path)) return false;
  platform::create_directories(directory);
  // A link there would carry the file into a folder of someone's choosing.
  if (!platform::is_plain_directory(directory.substr(0, directory.size() - 1))) return false;
  platform::File lock;
  for (int attempt = 0; attempt < kLockAttempts && !lock.is_open(); ++attempt) {
    if (attempt > 0) platform::pause(kLockPause);
    lock = platform::File::hold_exclusively(directory + std::wstring(kChoicesLockName));
  }
  const auto choices = with_choice(read_choices(directory), path, platform::now_utc_seconds());
  return replace_file_whole(directory, kChoicesName, choices_bytes(choices));
}

}  // namespace zrn
