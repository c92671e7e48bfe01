// The .lnk reader on arbitrary bytes: it must never read out of bounds, and whatever it
// accepts must survive being written again and read back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/lnk_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::optional<qovra::platform::ShellLink> link = qovra::platform::readShellLink(bytes);
  if (link) {
    std::optional<qovra::platform::ShellLink> again =
        qovra::platform::readShellLink(qovra::platform::writeShellLink(*link));
    if (!again || again->arguments != link->arguments) __builtin_trap();
  }
  return 0;
}
