// Version resources of program files, shaped like GetFileVersionInfoSizeW,
// GetFileVersionInfoW and VerQueryValueW, so that reading a version record is written
// once above this layer. Windows answers with its own calls; elsewhere a portable
// reader of program files gives the same bytes.
#pragma once

#include <optional>
#include <string>

namespace qovra::platform {

// The size of the file's version resource; 0 when the file is missing, unreadable or
// has none.
unsigned long versionResourceSize(const std::string& path);

// The file's whole version resource (the VS_VERSIONINFO block); nothing when it has none.
std::optional<std::string> readVersionResource(const std::string& path);

// A value of such a block by its path ("\VarFileInfo\Translation"): the value's bytes.
std::optional<std::string> queryVersionBinary(const std::string& block, const std::string& subBlock);
// A text value ("\StringFileInfo\080404B0\FileVersion"): its UTF-16LE code units, as
// many as the resource states (which may include the terminating zero).
std::optional<std::string> queryVersionText(const std::string& block, const std::string& subBlock);

}  // namespace qovra::platform
