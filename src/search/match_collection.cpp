#include "search/match_collection.h"

namespace zrn {

void collect_matches() {}

}  // namespace zrn
