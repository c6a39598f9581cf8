#include "info/information_report.h"

namespace zrn {

void print_information_report() {}

}  // namespace zrn
