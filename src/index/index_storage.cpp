#include "index/index_storage.h"

#include "platform/files.h"

namespace zrn {

std::wstring temporary_directory() { return platform::temp_path(); }

}  // namespace zrn
