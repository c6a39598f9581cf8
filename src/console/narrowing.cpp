#include "console/narrowing.h"

#include <algorithm>

#include "console/console.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr wchar_t kBackspace = 8;
constexpr wchar_t kFirstPrintable = 0x20;
constexpr wchar_t kDelete = 0x7F;

}  // namespace

std::vector<std::wstring_view> filter_words(std::wstring_view typed) {
  std::vector<std::wstring_view> words;
  for (std::size_t at = 0; at < typed.size();) {
    const std::size_t end = std::min(typed.find(L' ', at), typed.size());
    if (end > at) words.push_back(typed.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

void fold_matches(const std::vector<std::wstring>& matches, FoldedMatches& folded) {
  std::size_t units = 0;
  for (const auto& match : matches) units += match.size();
  std::wstring joined;
  joined.reserve(units);
  for (const auto& match : matches) joined += match;
  // ASCII letters here, the system's mapping for the rest, a run at a time:
  // the system call costs tens of nanoseconds a character under Wine.
  for (std::size_t at = 0; at < joined.size();) {
    const wchar_t c = joined[at];
    if (c < 0x80) {
      if (c >= L'a' && c <= L'z') joined[at] = static_cast<wchar_t>(c - L'a' + L'A');
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < joined.size() && joined[end] >= 0x80) ++end;
    const std::wstring run = platform::upper(std::wstring_view(joined).substr(at, end - at));
    std::copy(run.begin(), run.end(), joined.begin() + static_cast<std::ptrdiff_t>(at));
    at = end;
  }
  folded.text = std::move(joined);
  folded.paths.clear();
  folded.paths.reserve(matches.size());
  std::size_t at = 0;
  for (const auto& match : matches) {
    folded.paths.push_back(std::wstring_view(folded.text).substr(at, match.size()));
    at += match.size();
  }
}

std::vector<std::size_t> narrow(std::span<const std::wstring_view> folded, std::span<const std::size_t> candidates,
                                std::wstring_view folded_typed) {
  const std::vector<std::wstring_view> words = filter_words(folded_typed);
  std::vector<std::size_t> kept;
  for (const std::size_t index : candidates) {
    const std::wstring_view path = folded[index];
    if (std::all_of(words.begin(), words.end(),
                    [&](std::wstring_view word) { return path.find(word) != std::wstring_view::npos; })) {
      kept.push_back(index);
    }
  }
  return kept;
}

bool edits_filter(std::wstring_view key_text) {
  if (key_text.size() != 1) return false;
  const wchar_t c = key_text[0];
  return c == kBackspace || c == key::control_u || c == key::control_w || (c >= kFirstPrintable && c != kDelete);
}

std::wstring edited_filter(std::wstring typed, wchar_t key_character) {
  if (key_character == key::control_u) return L"";
  if (key_character == key::control_w) {
    // The blanks after the last word go with it, as in a shell.
    const std::size_t word_end = typed.find_last_not_of(L' ');
    if (word_end == std::wstring::npos) return L"";
    const std::size_t word_start = typed.find_last_of(L' ', word_end);
    typed.resize(word_start == std::wstring::npos ? 0 : word_start + 1);
    return typed;
  }
  if (key_character != kBackspace) return typed + key_character;
  if (typed.empty()) return typed;
  const bool pair = typed.size() >= 2 && platform::is_low_surrogate(typed.back());
  typed.resize(typed.size() - (pair ? 2 : 1));
  return typed;
}

}  // namespace zrn
