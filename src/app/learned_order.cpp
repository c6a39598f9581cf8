#include "app/learned_order.h"

#include "app/program_state.h"
#include "platform/files.h"
#include "search/choice_history.h"
#include "search/ranking.h"

namespace zrn {

void order_matches(const ProgramState& run, std::vector<std::wstring>& paths) {
  if (!run.learned_order || paths.size() < 2) return;
  rank_matches(paths, run.command.search_text, read_choices(choices_directory()), platform::now_utc_seconds());
}

void remember_choice(const ProgramState& run, const std::wstring& path) {
  // A choice that cannot be kept costs the user nothing but the learning.
  if (run.learned_order) record_choice(choices_directory(), path);
}

}  // namespace zrn
