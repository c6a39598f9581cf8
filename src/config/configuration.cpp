#include "config/configuration.h"

#include "platform/files.h"

namespace zrn {

std::wstring program_directory() { return platform::module_directory(); }

void read_configuration() {}

}  // namespace zrn
