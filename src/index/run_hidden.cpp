#include "index/run_hidden.h"

#include "platform/process.h"

namespace zrn {

bool run_hidden(const std::wstring& program, const std::wstring& parameters,
                const std::function<bool()>& while_waiting) {
  return platform::run_hidden_and_wait(program, parameters, while_waiting);
}

}  // namespace zrn
