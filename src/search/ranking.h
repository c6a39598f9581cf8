#pragma once
// The learned order of a match list (ZRN.INI: Order = learned): the exact
// name first, then names that start with the search text, then the
// directories the user chose most and most lately, then shorter paths, then
// the order in which they were found.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zrn {

// One directory the user chose: how often, and when last (UTC seconds).
struct Choice {
  std::wstring path;
  std::uint32_t count = 0;
  std::int64_t last_seconds = 0;
  bool operator==(const Choice&) const = default;
};

// How much a choice weighs `now`: its count, times 4 within the hour, 2
// within the day, 1 within the week and 1/2 after that.
double choice_weight(const Choice& choice, std::int64_t now);

// Sorts `paths` into the learned order for `search_text` (of a path query,
// its last part names the last component).
void rank_matches(std::vector<std::wstring>& paths, std::wstring_view search_text, const std::vector<Choice>& history,
                  std::int64_t now);

}  // namespace zrn
