#include "index/run_hidden.h"

#include "platform/process.h"

namespace zrn {

bool run_hidden(const std::wstring& program, const std::wstring& parameters) {
  return platform::run_hidden_and_wait(program, parameters);
}

}  // namespace zrn
