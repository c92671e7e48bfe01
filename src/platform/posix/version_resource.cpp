// The version resource read from the program file itself by the portable reader.
#include "platform/version_resource.h"

#include "platform/pe_version_reader.h"
#include "platform/posix/mapped_file.h"

namespace qovra::platform {

std::optional<std::string> readVersionResource(const std::string& path) {
  posix::MappedFile file(path);
  return pe::versionResource(file.bytes());
}

unsigned long versionResourceSize(const std::string& path) {
  auto block = readVersionResource(path);
  return block ? static_cast<unsigned long>(block->size()) : 0;
}

std::optional<std::string> queryVersionBinary(const std::string& block, const std::string& subBlock) {
  return pe::queryValue(block, subBlock);
}

// The reader already counts a text value's stated length in UTF-16 units.
std::optional<std::string> queryVersionText(const std::string& block, const std::string& subBlock) {
  return pe::queryValue(block, subBlock);
}

}  // namespace qovra::platform
