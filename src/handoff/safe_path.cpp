#include "handoff/safe_path.h"

namespace zrn {

namespace {

bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool plausible(std::wstring_view path, bool question_mark_allowed) {
  if (path.empty() || path.size() > kLongestDirectory) return false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const wchar_t c = path[i];
    if (c < 0x20 || c == L'"' || c == L'<' || c == L'>' || c == L'|' || c == L'*') return false;
    if (c == L'?' && !question_mark_allowed) return false;
    if (is_high_surrogate(c)) {
      if (i + 1 == path.size() || !is_low_surrogate(path[i + 1])) return false;
      ++i;
    } else if (is_low_surrogate(c)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool plausible_directory(std::wstring_view path) { return plausible(path, false); }

bool plausible_index_line(std::wstring_view line) { return plausible(line, true); }

}  // namespace zrn
