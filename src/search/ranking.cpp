#include "search/ranking.h"

#include <algorithm>
#include <unordered_map>

#include "platform/text.h"
#include "search/contains_text.h"

namespace zrn {

namespace {

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 24 * kHour;
constexpr std::int64_t kWeek = 7 * kDay;

// 0: the last component is the search text; 1: it starts with it; 2: other.
int name_tier(std::wstring_view path, std::wstring_view wanted) {
  const auto slash = path.rfind(L'\\');
  const std::wstring_view last = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
  if (contains_text(last, wanted, 1) != 1) return 2;
  return last.size() == wanted.size() ? 0 : 1;
}

struct Key {
  int tier = 2;
  double weight = 0;
  std::size_t length = 0;
  std::size_t found = 0;
};

}  // namespace

double choice_weight(const Choice& choice, std::int64_t now) {
  const std::int64_t age = now - choice.last_seconds;
  const double recency = age < kHour ? 4.0 : age < kDay ? 2.0 : age < kWeek ? 1.0 : 0.5;
  return recency * choice.count;
}

void rank_matches(std::vector<std::wstring>& paths, std::wstring_view search_text, const std::vector<Choice>& history,
                  std::int64_t now) {
  if (paths.size() < 2) return;
  const std::wstring_view wanted = last_search_part(search_text);
  // Paths compare without regard to letter case, as the file system does.
  std::unordered_map<std::wstring, double> weights;
  for (const Choice& choice : history) weights[platform::upper(choice.path)] += choice_weight(choice, now);
  std::vector<Key> keys(paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    keys[i].tier = name_tier(paths[i], wanted);
    if (!weights.empty()) {
      const auto known = weights.find(platform::upper(paths[i]));
      if (known != weights.end()) keys[i].weight = known->second;
    }
    keys[i].length = paths[i].size();
    keys[i].found = i;
  }
  std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
    if (a.tier != b.tier) return a.tier < b.tier;
    if (a.weight != b.weight) return a.weight > b.weight;
    if (a.length != b.length) return a.length < b.length;
    return a.found < b.found;
  });
  std::vector<std::wstring> ordered;
  ordered.reserve(paths.size());
  for (const Key& key : keys) ordered.push_back(std::move(paths[key.found]));
  paths = std::move(ordered);
}

}  // namespace zrn
