#pragma once

namespace zrn {

void print_information_report();

}  // namespace zrn
