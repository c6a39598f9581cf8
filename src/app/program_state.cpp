#include "app/program_state.h"

namespace zrn {

PageState& state() {
  static PageState the_state;
  return the_state;
}

}  // namespace zrn
