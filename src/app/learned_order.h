#pragma once
// The learned order of the matches (ZRN.INI: Order = learned) and the
// choices it learns from. With the order off, nothing is sorted, read or
// written.
#include <string>
#include <string_view>
#include <vector>

namespace zrn {

struct ProgramState;

// Sorts the matches into the learned order when it is on.
void order_matches(const ProgramState& run, std::vector<std::wstring>& paths);
// Keeps `path` as chosen for the search when the learned order is on.
void remember_choice(const ProgramState& run, const std::wstring& path);

}  // namespace zrn
