#pragma once

namespace zrn {

// Hands the table entry that the /Q character names to the change script,
// or says that the switch has no directory.
void run_quick_directory_mode(wchar_t switch_character);

}  // namespace zrn
