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
  for (const ControlSpec& spec : form.controls) waiting.push_back(&spec);
  // Rounds over the waiting controls until a round places none: what is left names a
  // parent that never comes.
  for (bool progress = true; progress && !waiting.empty();) {
    std::vector<const ControlSpec*> later;
    for (const ControlSpec* spec : waiting) {
      if (spec->parent.empty() || placed.contains(spec->parent)) {
        order.push_back(spec);
        placed.insert(spec->name);
      } else {
        later.push_back(spec);
      }
    }
    progress = later.size() < waiting.size();
    waiting = std::move(later);
  }
  order.insert(order.end(), waiting.begin(), waiting.end());
  return order;
}

}  // namespace qovra::ui
