#pragma once
#include <cstddef>
#include <string_view>

namespace zrn {

// The 1-based position at which `search` first occurs in `text` at or after
// the 1-based `start`, ignoring letter case; 0 when it does not occur or when
// either text is empty.
std::size_t contains_text(std::wstring_view text, std::wstring_view search, std::size_t start);

// The two character rules of contains_text: the first character of the search
// text is compared after CharLowerW, the others case-blind under the user's
// locale, so that accented letters also meet their other case.
bool first_character_matches(wchar_t text_character, wchar_t search_character);
bool later_character_matches(wchar_t text_character, wchar_t search_character);

// The index pass's acceptance: the first occurrence of `search` lies in the
// last component of `line` (no backslash after its first character). A
// search that holds a backslash is a path query (path_query_accepted).
bool index_line_accepted(std::wstring_view line, std::wstring_view search);

// A search text with a backslash: its parts (empty ones left out) must be
// found, each by contains_text, in successive components of `line` below
// its drive, the last part in the last component. "zarn\src" accepts
// D:\a\zarn-web\src, not D:\a\zarn-web\old\src nor D:\zarn\src-x\y.
bool is_path_query(std::wstring_view search);
bool path_query_accepted(std::wstring_view line, std::wstring_view search);
// The part of a search text that the last component must hold: all of a
// plain search, the last non-empty part of a path query.
std::wstring_view last_search_part(std::wstring_view search);

}  // namespace zrn
