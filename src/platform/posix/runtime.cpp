#include "platform/runtime.h"

namespace qovra::platform {

void initialiseRuntime() {}
void shutdownRuntime() {}

std::unique_ptr<ui::Toolkit> createNativeToolkit() { return nullptr; }

}  // namespace qovra::platform
