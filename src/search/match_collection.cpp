#include "search/match_collection.h"

namespace zrn {

void collect_matches() {}
void collect_from_index(const std::wstring&) {}

}  // namespace zrn
