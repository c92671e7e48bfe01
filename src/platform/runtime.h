// What the process needs of its platform before and after everything else: run-time
// initialisation of the window thread (COM, common controls) and the platform's own
// window toolkit.
#pragma once

#include <memory>

#include "platform/toolkit.h"

namespace qovra::platform {

void initialiseRuntime();
void shutdownRuntime();

// The toolkit with real windows, or null where the platform has none (Linux: the box
// runs there only under tests, on the headless toolkit).
std::unique_ptr<ui::Toolkit> createNativeToolkit();

}  // namespace qovra::platform
