#include "platform/runtime.h"

#include <objbase.h>
#include <windows.h>

#include "platform/win32/win32_toolkit.h"

namespace qovra::platform {

void initialiseRuntime() {
  // The window thread is a single-threaded apartment: the shell link objects and the
  // request objects rely on it.
  CoInitialize(nullptr);
}

void shutdownRuntime() { CoUninitialize(); }

std::unique_ptr<ui::Toolkit> createNativeToolkit() { return std::make_unique<ui::Win32Toolkit>(); }

}  // namespace qovra::platform
