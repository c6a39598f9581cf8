#include "config/quick_directories.h"

namespace zrn {

void run_quick_directory_mode(wchar_t) {}

}  // namespace zrn
