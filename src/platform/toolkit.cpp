#include "platform/toolkit.h"

#include <cstdlib>

namespace qovra::ui {
namespace {
Toolkit* current = nullptr;
}

Toolkit& toolkit() {
  // Logic running without a toolkit is a programming error, not a user's situation.
  if (current == nullptr) std::abort();
  return *current;
}

void setToolkit(Toolkit* toolkit) { current = toolkit; }

}  // namespace qovra::ui
