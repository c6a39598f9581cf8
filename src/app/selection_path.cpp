#include "app/selection_path.h"

namespace zrn {

void run_selection_path() {}

}  // namespace zrn
