#include "platform/toolkit.h"

#include <cstdlib>
#include <set>

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

std::vector<const ControlSpec*> creationOrder(const FormSpec& form) {
  std::vector<const ControlSpec*> order;
  std::set<std::string> placed;
  std::vector<const ControlSpec*> waiting;
  for (const ControlSpec& design : form.controls) waiting.push_back(&design);
  // Rounds over the waiting controls until a round places none: what is left names a
  // parent that never comes.
  for (bool progress = true; progress && !waiting.empty();) {
    std::vector<const ControlSpec*> later;
    for (const ControlSpec* design : waiting) {
      if (design->parent.empty() || placed.contains(design->parent)) {
        order.push_back(design);
        placed.insert(design->name);
      } else {
        later.push_back(design);
      }
    }
    progress = later.size() < waiting.size();
    waiting = std::move(later);
  }
  order.insert(order.end(), waiting.begin(), waiting.end());
  return order;
}

}  // namespace qovra::ui
