#include "console/narrowing.h"

#include <algorithm>

namespace zrn {

namespace {

constexpr wchar_t kBackspace = 8;

bool is_low_surrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

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

std::vector<std::size_t> narrow(std::span<const std::wstring> folded, std::span<const std::size_t> candidates,
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
  return c == kBackspace || (c >= 0x20 && c != 0x7F);
}

std::wstring edited_filter(std::wstring typed, wchar_t key_character) {
  if (key_character != kBackspace) return typed + key_character;
  if (typed.empty()) return typed;
  const bool pair = typed.size() >= 2 && is_low_surrogate(typed.back());
  typed.resize(typed.size() - (pair ? 2 : 1));
  return typed;
}

}  // namespace zrn
