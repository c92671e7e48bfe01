// The portable reader of program files on arbitrary bytes: the version tree, every
// string the rows may ask for, and the icon.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/pe_version_reader.h"
#include "window/file_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qovra::platform::pe;
  std::string_view file(reinterpret_cast<const char*>(data), size);
  if (auto block = versionResource(file)) {
    queryValue(*block, "\\");
    auto translation = queryValue(*block, "\\VarFileInfo\\Translation");
    std::string key = "040904B0";
    if (translation && translation->size() >= 4) {
      auto byte = [&](int i) { return std::uint32_t(static_cast<unsigned char>((*translation)[i])); };
      key = qovra::translationKey(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
    }
    for (std::string_view name : qovra::FileVersionRecord::names())
      queryValue(*block, "\\StringFileInfo\\" + key + "\\" + std::string(name));
  }
  // The same bytes read as a version block directly reach the tree walk more often.
  queryValue(file, "\\StringFileInfo\\080404B0\\FileVersion");
  iconImage(file, 32, 32);
  return 0;
}
