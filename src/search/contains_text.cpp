#include "search/contains_text.h"

#include "platform/text.h"

namespace zrn {

bool first_character_matches(wchar_t text_character, wchar_t search_character) {
  return platform::lower_char(text_character) == platform::lower_char(search_character);
}

bool later_character_matches(wchar_t text_character, wchar_t search_character) {
  return platform::same_letter_ignoring_case(text_character, search_character);
}

std::size_t contains_text(std::wstring_view text, std::wstring_view search, std::size_t start) {
  if (text.empty() || search.empty()) return 0;
  const std::size_t from = start > 0 ? start - 1 : 0;
  if (search.size() > text.size()) return 0;
  const wchar_t first = platform::lower_char(search.front());
  for (std::size_t i = from; i + search.size() <= text.size(); ++i) {
    if (platform::lower_char(text[i]) != first) continue;
    std::size_t k = 1;
    while (k < search.size() && later_character_matches(text[i + k], search[k])) ++k;
    if (k == search.size()) return i + 1;
  }
  return 0;
}

bool index_line_accepted(std::wstring_view line, std::wstring_view search) {
  const std::size_t position = contains_text(line, search, 1);
  // 1-based position m; the backslash search starts at m + 1, which is the
  // 0-based index m.
  return position > 0 && line.find(L'\\', position) == std::wstring_view::npos;
}

}  // namespace zrn
