#include "search/contains_text.h"

#include <vector>

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

namespace {

// The pieces of `text` between backslashes, empty ones included.
std::vector<std::wstring_view> split_at_backslashes(std::wstring_view text) {
  std::vector<std::wstring_view> pieces;
  std::size_t start = 0;
  for (;;) {
    const auto end = text.find(L'\\', start);
    pieces.push_back(text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
    if (end == std::wstring_view::npos) return pieces;
    start = end + 1;
  }
}

}  // namespace

bool is_path_query(std::wstring_view search) { return search.find(L'\\') != std::wstring_view::npos; }

std::wstring_view last_search_part(std::wstring_view search) {
  while (!search.empty() && search.back() == L'\\') search.remove_suffix(1);
  const auto last = search.rfind(L'\\');
  return last == std::wstring_view::npos ? search : search.substr(last + 1);
}

bool path_query_accepted(std::wstring_view line, std::wstring_view search) {
  std::vector<std::wstring_view> parts = split_at_backslashes(search);
  std::erase_if(parts, [](std::wstring_view part) { return part.empty(); });
  std::vector<std::wstring_view> components = split_at_backslashes(line);
  // The drive ("D:") is no component a part may name.
  if (parts.empty() || components.size() < parts.size() + 1) return false;
  const std::size_t first = components.size() - parts.size();
  for (std::size_t k = 0; k < parts.size(); ++k) {
    if (contains_text(components[first + k], parts[k], 1) == 0) return false;
  }
  return true;
}

bool index_line_accepted(std::wstring_view line, std::wstring_view search) {
  if (is_path_query(search)) return path_query_accepted(line, search);
  const std::size_t position = contains_text(line, search, 1);
  // 1-based position m; the backslash search starts at m + 1, which is the
  // 0-based index m.
  return position > 0 && line.find(L'\\', position) == std::wstring_view::npos;
}

}  // namespace zrn
