#include "app/program_state.h"

namespace zrn {

ProgramState& state() {
  static ProgramState the_state;
  return the_state;
}

}  // namespace zrn
