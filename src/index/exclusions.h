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
// The same against the program's exclusion list.
bool is_excluded(std::wstring_view path);

// The same rule for millions of lines: the upper-case mapping comes from a
// table taken once, and only places whose character can start a word are
// compared.
class ExclusionTest {
 public:
  ExclusionTest(const std::vector<std::wstring>& words, std::vector<wchar_t> upper_table);
  bool excluded(std::wstring_view line) const;

 private:
  std::vector<std::wstring> words_;  // non-empty words only
  std::vector<wchar_t> upper_;       // 65536 entries
  std::vector<unsigned char> starts_word_;  // by code unit
};

}  // namespace zrn
