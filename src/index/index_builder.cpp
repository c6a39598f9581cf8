#include "index/index_builder.h"

namespace zrn {

void build_index(const std::wstring&) {}
void ensure_index(const std::wstring&) {}

}  // namespace zrn
