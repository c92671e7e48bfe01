// A reader of the resources of Windows program files (PE/COFF, 32- and 64-bit) that
// works on any platform: the version resource and the icons, read the way Windows
// itself finds them. Every read is bounded by the bytes given; damaged or hostile
// files give nothing, never a crash.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qovra::platform::pe {

inline constexpr std::uint32_t kResourceIcon = 3;        // RT_ICON
inline constexpr std::uint32_t kResourceGroupIcon = 14;  // RT_GROUP_ICON
inline constexpr std::uint32_t kResourceVersion = 16;    // RT_VERSION

// The bytes of a resource of a given type. With a name id, that resource; without,
// the first one of the type in directory order (named entries, then ids ascending).
// The first language entry is taken.
std::optional<std::string_view> findResource(std::string_view file, std::uint32_t type,
                                             std::optional<std::uint32_t> nameId = {});

// The VS_VERSIONINFO block of a program file (the resource of type 16 with id 1).
std::optional<std::string> versionResource(std::string_view file);

// A value of a VS_VERSIONINFO block by a path such as "\VarFileInfo\Translation":
// components separated by "\" (empty ones skipped), keys compared without regard to
// ASCII case, as VerQueryValueW does. Text values come as UTF-16LE bytes (two per
// character of the stored length), binary values as their bytes. Nothing when a
// component is missing.
std::optional<std::string> queryValue(std::string_view block, std::string_view subBlock);

// The pixels of the file's first icon group, the image closest to width x height,
// as 0xAARRGGBB, top row first, in the image's own size. Nothing when the file has
// no icon or the image is not a bitmap-format icon image.
struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
};
std::optional<IconImage> iconImage(std::string_view file, int width, int height);

}  // namespace qovra::platform::pe
