#include "app/command_line.h"

#include "handoff/run_folder.h"
#include "handoff/safe_path.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"

namespace zrn {

namespace {

std::wstring trim_spaces(std::wstring_view text) { return std::wstring(platform::trimmed(text)); }

// Text up to the next double quote from `pos` (or to the end); moves `pos`
// past that quote.
std::wstring_view quoted_stretch(std::wstring_view line, std::size_t& pos) {
  const auto close = line.find(L'"', pos);
  const auto end = close == std::wstring_view::npos ? line.size() : close;
  const auto stretch = line.substr(pos, end - pos);
  pos = close == std::wstring_view::npos ? line.size() : close + 1;
  return stretch;
}

}  // namespace

std::vector<std::wstring> split_command_words(std::wstring_view line) {
  std::vector<std::wstring> words;
  std::size_t pos = 0;
  while (true) {
    while (pos < line.size() && line[pos] == L' ') ++pos;
    if (pos >= line.size()) break;
    std::wstring word;
    if (line[pos] == L'"') {
      // A word that opens with a quote ends at its closing quote; whatever
      // follows at once starts the next word.
      ++pos;
      word = quoted_stretch(line, pos);
    } else {
      while (pos < line.size() && line[pos] != L' ') {
        if (line[pos] == L'"') {
          ++pos;
          word += quoted_stretch(line, pos);
        } else {
          word += line[pos++];
        }
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

CommandLine interpret_command_line(std::wstring_view line, std::wstring_view current_directory) {
  return interpret_command_words(split_command_words(line), current_directory);
}

std::optional<std::vector<std::wstring>> wrapper_words(VariableReader variable) {
  // More words than a command line can hold are not the wrapper's.
  constexpr std::size_t kMostWords = 8192;
  const auto count_text = variable(L"ZRN_ARGC");
  if (!count_text) return std::nullopt;
  const auto count = platform::parse_number(*count_text, 10, kMostWords);
  if (!count) return std::nullopt;
  std::vector<std::wstring> words{L""};
  for (std::uint64_t k = 1; k <= *count; ++k) {
    std::wstring word = variable(L"ZRN_ARG" + std::to_wstring(k)).value_or(L"");
    std::erase(word, L'"');
    words.push_back(std::move(word));
  }
  return words;
}

CommandLine interpret_command_words(const std::vector<std::wstring>& words, std::wstring_view current_directory) {
  std::wstring joined;
  for (std::size_t i = 1; i < words.size(); ++i) joined += words[i] + L' ';

  const auto slash = joined.find(L'/');
  std::wstring search_part = trim_spaces(std::wstring_view(joined).substr(0, slash));
  std::wstring switch_text =
      trim_spaces(slash == std::wstring::npos ? std::wstring_view(joined) : std::wstring_view(joined).substr(slash)) +
      L"/**";

  std::wstring drive;
  const bool all_drives = search_part.starts_with(L"*:");
  if (all_drives) search_part.erase(0, 2);
  // Only a letter before the colon names a drive: "&:x" or "1:x" is searched
  // as typed, in the current directory and on the current drive.
  if (search_part.size() >= 2 && search_part[1] == L':' && is_drive_root(search_part.substr(0, 2) + L"\\")) {
    drive = search_part.substr(0, 2);
    search_part.erase(0, 2);
  } else {
    // "*:" keeps the current drive as the one a rebuild or F2 would name.
    drive = std::wstring(current_directory.substr(0, 3));
  }
  if (!search_part.empty() && search_part.front() == L'\\') search_part.erase(0, 1);
  if (!search_part.empty() && search_part.back() == L'\\') search_part.pop_back();
  if (drive.empty() || drive.back() != L'\\') drive += L'\\';

  CommandLine result;
  result.drive_root = platform::upper(drive);
  result.search_text = trim_spaces(search_part);
  result.all_drives = all_drives;

  std::size_t start = 0;
  bool after_slash = false;  // field 1 is the text before the first slash
  while (true) {
    const auto end = switch_text.find(L'/', start);
    const auto field = platform::upper(trim_spaces(
        std::wstring_view(switch_text).substr(start, end == std::wstring::npos ? std::wstring::npos : end - start)));
    if (field == L"**") break;
    if (field == L"?") {
      result.help = true;
    } else if (field == L"INFO") {
      result.info = true;
    } else if (field.size() == 2 && field[0] == L'Q') {
      result.quick_switch = field.substr(1, 1);
    } else if (field == L"R" && after_slash) {
      result.rebuild = true;
    }
    if (end == std::wstring::npos) break;
    start = end + 1;
    after_slash = true;
  }
  return result;
}

std::optional<std::vector<std::wstring>> captured_words(std::wstring_view echoed) {
  const auto typed = captured_arguments(echoed);
  if (!typed) return std::nullopt;
  auto words = split_command_words(*typed);
  words.insert(words.begin(), L"");
  return words;
}

namespace {

// The words of this run: from the wrapper's run folder, from its variables,
// or from the program's own command line.
std::optional<std::vector<std::wstring>> words_from_wrapper(const std::wstring& run_folder) {
  if (auto words = wrapper_words(platform::environment_variable)) return words;
  if (run_folder.empty()) return std::nullopt;
  // Words in a file that someone else made (in a temporary folder others
  // can write, before the folder became private) are not the user's.
  const std::wstring captured = run_folder + L"\\" + std::wstring(kCapturedWordsName);
  if (!platform::owned_by_user(captured)) return std::nullopt;
  const auto bytes = platform::read_whole_file(captured);
  if (!bytes) return std::nullopt;
  // cmd wrote its echo in the console's code page.
  const unsigned code_page = platform::console_output_code_page();
  return captured_words(code_page ? platform::from_code_page(*bytes, code_page) : platform::from_ansi(*bytes));
}

}  // namespace

CommandLine read_command_line(const std::wstring& run_folder) {
  // The current directory matters only when no drive was typed, but reading
  // it always keeps the rule in one place.
  const auto from_wrapper = words_from_wrapper(run_folder);
  if (!from_wrapper && !run_folder.empty()) {
    CommandLine lost;
    lost.words_lost = true;
    return lost;
  }
  return from_wrapper ? interpret_command_words(*from_wrapper, platform::current_directory())
                      : interpret_command_line(platform::process_command_line(), platform::current_directory());
}

}  // namespace zrn
