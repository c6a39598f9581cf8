#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zrn {

// The nine built-in exclusion words, upper-cased, in their fixed order.
std::vector<std::wstring> default_exclusions();

// True when the upper-cased path holds one of the upper-case `words` as an
// exact substring anywhere; an empty word is never found.
bool is_excluded(std::wstring_view path, const std::vector<std::wstring>& words);

// The same rule for millions of lines: the upper-case mapping comes from a
// table taken once, and each word is looked for only where its least common
// letter stands, so most places are passed over with one look-up.
class ExclusionTest {
 public:
  ExclusionTest(const std::vector<std::wstring>& words, std::vector<wchar_t> upper_table);
  bool excluded(std::wstring_view line) const;

 private:
  struct Anchored {
    std::wstring word;
    std::size_t anchor;  // position of the looked-for letter in the word
  };
  std::vector<wchar_t> upper_;                 // 65536 entries
  std::vector<unsigned char> group_of_;        // by code unit: 1 + group, or 0
  std::vector<std::vector<Anchored>> groups_;  // words sharing an anchor letter
  std::vector<std::wstring> plain_words_;      // set only for the plain rule
};

}  // namespace zrn
