#include "index/exclusions.h"

#include "app/program_state.h"
#include <cstdint>

#include "platform/text.h"

namespace zrn {

std::vector<std::wstring> default_exclusions() {
  std::vector<std::wstring> words;
  for (const auto* word : {L"$Recycle.Bin", L"$SysReset", L"System Volume Information", L"Zarnpath",
                           L"$WINDOWS.~BT", L"$Windows.~WS", L"OneDriveTemp", L"Recovery", L"Boot"}) {
    words.push_back(platform::upper(word));
  }
  return words;
}

bool is_excluded(std::wstring_view path, const std::vector<std::wstring>& words) {
  const std::wstring upper_path = platform::upper(path);
  for (const auto& word : words) {
    if (!word.empty() && upper_path.find(word) != std::wstring::npos) return true;
  }
  return false;
}

bool is_excluded(std::wstring_view path) { return is_excluded(path, state().exclusions); }

ExclusionTest::ExclusionTest(const std::vector<std::wstring>& words, std::vector<wchar_t> upper_table)
    : upper_(std::move(upper_table)), starts_word_(65536, 0) {
  for (const auto& word : words) {
    if (word.empty()) continue;
    words_.push_back(word);
    // Every code unit whose upper case begins the word can start a hit.
    for (std::size_t unit = 0; unit < upper_.size(); ++unit) {
      if (upper_[unit] == word.front()) starts_word_[unit] = 1;
    }
  }
}

bool ExclusionTest::excluded(std::wstring_view line) const {
  const std::size_t size = line.size();
  for (std::size_t i = 0; i < size; ++i) {
    if (!starts_word_[static_cast<std::uint16_t>(line[i])]) continue;
    const wchar_t first = upper_[static_cast<std::uint16_t>(line[i])];
    for (const auto& word : words_) {
      if (word.front() != first || word.size() > size - i) continue;
      std::size_t k = 1;
      while (k < word.size() && upper_[static_cast<std::uint16_t>(line[i + k])] == word[k]) ++k;
      if (k == word.size()) return true;
    }
  }
  return false;
}

}  // namespace zrn
