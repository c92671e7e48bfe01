#include "support/process_state.h"

namespace qovra {

ProcessState& processState() {
  static ProcessState state;
  return state;
}

}  // namespace qovra
