#include "platform/shell.h"

namespace qovra::platform {

Shell& nativeShell();  // the backend's

namespace {
Shell* replacement = nullptr;
}

Shell& shell() { return replacement ? *replacement : nativeShell(); }

void setShell(Shell* shell) { replacement = shell; }

}  // namespace qovra::platform
