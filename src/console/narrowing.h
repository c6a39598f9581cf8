#pragma once
// Typing on the selection screen narrows the list: a path stays when it holds
// every blank-separated word typed, without regard to letter case.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zrn {

// The words of the typed text, in order; runs of blanks separate them.
std::vector<std::wstring_view> filter_words(std::wstring_view typed);

// The matches upper-cased for narrowing: one text, one view per match.
struct FoldedMatches {
  std::wstring text;
  std::vector<std::wstring_view> paths;  // views into `text`
};
// Fills `folded` in place (its views point into its own text): one
// conversion for the whole list, so that the first letter typed on 100,000
// matches costs little more than the next.
void fold_matches(const std::vector<std::wstring>& matches, FoldedMatches& folded);

// The entries of `candidates` (indices into `folded`, in order) whose path
// holds every word. `folded` and `folded_typed` are upper-cased alike, once,
// so that each key costs plain text searches only.
std::vector<std::size_t> narrow(std::span<const std::wstring_view> folded, std::span<const std::size_t> candidates,
                                std::wstring_view folded_typed);

// True for a key that edits the typed text: a printable character,
// Backspace, Ctrl+U or Ctrl+W.
bool edits_filter(std::wstring_view key_text);

// The typed text after the key: Backspace takes back the last character
// (both halves of a surrogate pair), Ctrl+U all of it, Ctrl+W its last word
// with the blanks after it; any other character is appended.
std::wstring edited_filter(std::wstring typed, wchar_t key_character);

}  // namespace zrn
