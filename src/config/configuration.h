#pragma once
#include <string>

namespace zrn {

// The directory of the program's executable, ending in a backslash.
std::wstring program_directory();
// Reads ZRN.INI beside the program into the program state: quick directory
// entries 0 to 9 (and the known folders 10 to 15), the index age limit and
// the configured exclusion words.
void read_configuration();

}  // namespace zrn
