#include "index/exclusions.h"

#include <cstdint>

#include "index/letter_shares.h"
#include "platform/text.h"

namespace zrn {

std::vector<std::wstring> default_exclusions() {
  std::vector<std::wstring> words;
  for (const auto* word : {L"$Recycle.Bin", L"$SysReset", L"System Volume Information", L"Zarnpath", L"$WINDOWS.~BT",
                           L"$Windows.~WS", L"OneDriveTemp", L"Recovery", L"Boot"}) {
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

namespace {

// Rough share of each letter in directory names; the anchor of a word is its
// letter with the smallest share.
double letter_weight(wchar_t upper) {
  if (upper >= L'A' && upper <= L'Z') return letter_share(upper - L'A');
  if (upper == L'\\') return 20.0;
  if (upper == L' ' || upper == L'.' || upper == L'-' || upper == L'_') return 2.5;
  if (upper >= L'0' && upper <= L'9') return 1.5;
  return 0.05;
}

}  // namespace

ExclusionTest::ExclusionTest(const std::vector<std::wstring>& words, std::vector<wchar_t> upper_table)
    : upper_(std::move(upper_table)), group_of_(65536, 0) {
  std::vector<wchar_t> anchors;
  for (const auto& word : words) {
    if (word.empty()) continue;
    std::size_t anchor = 0;
    for (std::size_t k = 1; k < word.size(); ++k) {
      if (letter_weight(word[k]) < letter_weight(word[anchor])) anchor = k;
    }
    std::size_t group = 0;
    while (group < anchors.size() && anchors[group] != word[anchor]) ++group;
    if (group == anchors.size()) {
      // More distinct anchor letters than a byte can number is far beyond
      // any real list: such a list takes the plain rule line by line.
      if (anchors.size() == 255) {
        plain_words_ = words;
        return;
      }
      anchors.push_back(word[anchor]);
      groups_.emplace_back();
    }
    groups_[group].push_back({word, anchor});
  }
  std::vector<unsigned char> group_of_letter(65536, 0);
  for (std::size_t group = 0; group < anchors.size(); ++group) {
    group_of_letter[static_cast<std::uint16_t>(anchors[group])] = static_cast<unsigned char>(group + 1);
  }
  for (std::size_t unit = 0; unit < upper_.size(); ++unit) {
    group_of_[unit] = group_of_letter[static_cast<std::uint16_t>(upper_[unit])];
  }
}

bool ExclusionTest::excluded(std::wstring_view line) const {
  if (!plain_words_.empty()) return is_excluded(line, plain_words_);
  const std::size_t size = line.size();
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned group = group_of_[static_cast<std::uint16_t>(line[i])];
    if (group == 0) continue;
    for (const auto& [word, anchor] : groups_[group - 1]) {
      if (i < anchor || word.size() - anchor > size - i) continue;
      const std::size_t start = i - anchor;
      std::size_t k = 0;
      while (k < word.size() && upper_[static_cast<std::uint16_t>(line[start + k])] == word[k]) ++k;
      if (k == word.size()) return true;
    }
  }
  return false;
}

}  // namespace zrn
