#pragma once
#include <string>
#include <vector>

#include "app/program_state.h"
#include "app/run_control.h"
#include "search/match_collection.h"

namespace zrn {

// Why a search found nothing: "No directory found...", or the index it could
// not read.
std::wstring nothing_found_line(const Matches& matches);

// Two or more matches: the window checks, then the page and its passes, with
// the index work that F2 and F3 ask for between them. The directory chosen;
// empty when none was. `notes` are printed once the page has given the
// console back, with the lines the page adds to them.
std::wstring run_selection_path(const ProgramState& run, RunControl& control, Matches matches,
                                std::vector<std::wstring>& notes);

}  // namespace zrn
