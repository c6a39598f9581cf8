#pragma once
#include <string>
#include <vector>

namespace zrn {

// Copies every line of the raw listing (as cmd /U writes it) that holds none
// of the upper-case `words` into the filtered listing, in the ANSI code page,
// each line ended by CR LF, in the listing's order. True only when the whole
// listing was read and written; otherwise no filtered listing is left, so that
// a broken one can never become an index. A raw listing that cannot be opened
// ends the step at once, before anything is created.
bool filter_listing(const std::wstring& raw_path, const std::wstring& filtered_path,
                    const std::vector<std::wstring>& words);

}  // namespace zrn
