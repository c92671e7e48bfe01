// The version resource through the system's own calls (W versions only).
#include "platform/version_resource.h"

#include <windows.h>

#include <cstdint>

#include "platform/win32/wide_text.h"

namespace qovra::platform {
namespace {

// VerQueryValueW hands back a pointer into the block and a length (bytes for binary
// values, characters for texts); the bytes are copied out clipped to the block.
std::optional<std::string> query(const std::string& block, const std::string& subBlock,
                                 std::size_t unitSize) {
  void* value = nullptr;
  UINT length = 0;
  if (block.empty() || !VerQueryValueW(block.data(), win32::wideText(subBlock).c_str(), &value, &length))
    return std::nullopt;
  auto begin = reinterpret_cast<std::uintptr_t>(block.data());
  auto at = reinterpret_cast<std::uintptr_t>(value);
  if (length == 0) return std::string();
  if (!value || at < begin || at > begin + block.size()) return std::nullopt;
  std::size_t bytes = std::min<std::size_t>(std::size_t{length} * unitSize, begin + block.size() - at);
  return std::string(static_cast<const char*>(value), bytes);
}

}  // namespace

unsigned long versionResourceSize(const std::string& path) {
  DWORD handle = 0;
  return GetFileVersionInfoSizeW(win32::widePath(path).c_str(), &handle);
}

std::optional<std::string> readVersionResource(const std::string& path) {
  std::wstring native = win32::widePath(path);
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(native.c_str(), &handle);
  if (size == 0) return std::nullopt;
  std::string block(size, '\0');
  if (!GetFileVersionInfoW(native.c_str(), 0, size, block.data())) return std::nullopt;
  return block;
}

std::optional<std::string> queryVersionBinary(const std::string& block, const std::string& subBlock) {
  return query(block, subBlock, 1);
}

std::optional<std::string> queryVersionText(const std::string& block, const std::string& subBlock) {
  return query(block, subBlock, 2);
}

}  // namespace qovra::platform
