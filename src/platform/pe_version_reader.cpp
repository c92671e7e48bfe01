#include "platform/pe_version_reader.h"

#include <algorithm>
#include <cstdlib>

namespace qovra::platform::pe {
namespace {

std::uint32_t u16(std::string_view s, std::size_t at) {
  return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8;
}

std::uint32_t u32(std::string_view s, std::size_t at) {
  return u16(s, at) | u16(s, at + 2) << 16;
}

bool fits(std::string_view s, std::size_t at, std::size_t length) {
  return at <= s.size() && length <= s.size() - at;
}

struct Section {
  std::uint32_t virtualAddress;
  std::uint32_t rawSize;
  std::uint32_t rawOffset;
};

// The mapped view of a program file as its sections place it: an address relative to
// the image (RVA) is found in the raw data of the section that holds it, as the loader
// does for a file opened as data.
class Image {
 public:
  static std::optional<Image> open(std::string_view file);

  // The bytes [rva, rva + length), when they lie inside one section and the file.
  std::optional<std::string_view> at(std::uint64_t rva, std::size_t length) const {
    for (const Section& s : sections_) {
      if (rva < s.virtualAddress || rva - s.virtualAddress >= s.rawSize) continue;
      std::uint64_t inSection = rva - s.virtualAddress;
      if (length > s.rawSize - inSection) return std::nullopt;
      std::size_t offset = std::size_t{s.rawOffset} + inSection;
      if (!fits(file_, offset, length)) return std::nullopt;
      return file_.substr(offset, length);
    }
    return std::nullopt;
  }

  std::uint32_t resourceRoot() const { return resourceRoot_; }

 private:
  std::string_view file_;
  std::vector<Section> sections_;
  std::uint32_t resourceRoot_ = 0;
};

// The loader refuses images with more sections than this.
constexpr std::size_t kMaxSections = 96;
constexpr std::uint32_t kResourceDirectoryIndex = 2;

std::optional<Image> Image::open(std::string_view file) {
  if (!fits(file, 0, 0x40) || file.substr(0, 2) != "MZ") return std::nullopt;
  std::size_t pe = u32(file, 0x3C);
  if (!fits(file, pe, 24) || file.substr(pe, 4) != std::string_view("PE\0\0", 4)) return std::nullopt;
  std::size_t sectionCount = std::min<std::size_t>(u16(file, pe + 6), kMaxSections);
  std::size_t optionalSize = u16(file, pe + 20);
  std::size_t optional = pe + 24;
  if (!fits(file, optional, optionalSize) || optionalSize < 2) return std::nullopt;
  std::uint32_t magic = u16(file, optional);
  std::size_t countAt, directoriesAt;
  if (magic == 0x10B) {
    countAt = 92, directoriesAt = 96;  // PE32
  } else if (magic == 0x20B) {
    countAt = 108, directoriesAt = 112;  // PE32+
  } else {
    return std::nullopt;
  }
  std::size_t entryAt = directoriesAt + kResourceDirectoryIndex * 8;
  if (optionalSize < entryAt + 8 || u32(file, optional + countAt) <= kResourceDirectoryIndex)
    return std::nullopt;
  Image image;
  image.file_ = file;
  image.resourceRoot_ = u32(file, optional + entryAt);
  std::size_t table = optional + optionalSize;
  for (std::size_t i = 0; i < sectionCount && fits(file, table + i * 40, 40); ++i) {
    std::size_t s = table + i * 40;
    image.sections_.push_back({u32(file, s + 12), u32(file, s + 16), u32(file, s + 20)});
  }
  if (image.resourceRoot_ == 0) return std::nullopt;
  return image;
}

constexpr std::uint32_t kHighBit = 0x80000000u;

// One entry of a resource directory (relative to the resource root): the entry whose
// id is `id`, or the first entry when no id is asked for. The result is the entry's
// target offset with its high bit (subdirectory) kept.
std::optional<std::uint32_t> directoryEntry(const Image& image, std::uint32_t directory,
                                            std::optional<std::uint32_t> id) {
  std::uint64_t root = image.resourceRoot();
  auto header = image.at(root + directory, 16);
  if (!header) return std::nullopt;
  std::size_t count = u16(*header, 12) + u16(*header, 14);
  if (count == 0) return std::nullopt;
  auto entries = image.at(root + directory + 16, count * 8);
  if (!entries) return std::nullopt;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t name = u32(*entries, i * 8);
    if (!id || (!(name & kHighBit) && name == *id)) return u32(*entries, i * 8 + 4);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string_view> findResource(std::string_view file, std::uint32_t type,
                                             std::optional<std::uint32_t> nameId) {
  auto image = Image::open(file);
  if (!image) return std::nullopt;
  // Three levels exactly (type, name, language): a directory that points back at
  // itself cannot make the walk go round.
  auto typeDir = directoryEntry(*image, 0, type);
  if (!typeDir || !(*typeDir & kHighBit)) return std::nullopt;
  auto nameDir = directoryEntry(*image, *typeDir & ~kHighBit, nameId);
  if (!nameDir || !(*nameDir & kHighBit)) return std::nullopt;
  auto leaf = directoryEntry(*image, *nameDir & ~kHighBit, std::nullopt);
  if (!leaf || (*leaf & kHighBit)) return std::nullopt;
  auto data = image->at(std::uint64_t{image->resourceRoot()} + *leaf, 16);
  if (!data) return std::nullopt;
  return image->at(u32(*data, 0), u32(*data, 4));
}

std::optional<std::string> versionResource(std::string_view file) {
  constexpr std::uint32_t kVersionInfoId = 1;  // VS_VERSION_INFO
  auto data = findResource(file, kResourceVersion, kVersionInfoId);
  if (!data || data->size() < 6) return std::nullopt;
  return std::string(*data);
}

namespace {

std::size_t align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

// One node of the VS_VERSIONINFO tree: wLength, wValueLength, wType, the UTF-16 key,
// then the value and the children, each aligned to four bytes from the block start.
struct Node {
  std::size_t begin = 0;
  std::size_t end = 0;  // clipped to the parent
  std::size_t keyBegin = 0;
  std::size_t keyUnits = 0;
  std::size_t value = 0;
  std::size_t valueBytes = 0;
  std::size_t children = 0;
};

std::optional<Node> readNode(std::string_view block, std::size_t at, std::size_t limit) {
  if (at > limit || limit - at < 6) return std::nullopt;
  std::size_t length = u16(block, at);
  if (length < 6) return std::nullopt;
  Node node;
  node.begin = at;
  node.end = at + std::min(length, limit - at);
  node.keyBegin = at + 6;
  std::size_t p = node.keyBegin;
  while (p + 1 < node.end && u16(block, p) != 0) p += 2;
  if (p + 1 >= node.end) return std::nullopt;  // no terminated key inside the node
  node.keyUnits = (p - node.keyBegin) / 2;
  bool text = u16(block, at + 4) == 1;
  std::size_t valueLength = u16(block, at + 2) * (text ? 2 : 1);
  node.value = std::min(align4(p + 2), node.end);
  node.valueBytes = std::min(valueLength, node.end - node.value);
  node.children = std::min(align4(node.value + valueLength), node.end);
  return node;
}

bool keyEquals(std::string_view block, const Node& node, std::string_view key) {
  if (node.keyUnits != key.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    std::uint32_t unit = u16(block, node.keyBegin + 2 * i);
    auto lower = [](std::uint32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    if (lower(unit) != lower(static_cast<unsigned char>(key[i]))) return false;
  }
  return true;
}

std::optional<Node> findChild(std::string_view block, const Node& parent, std::string_view key) {
  std::size_t at = parent.children;
  while (at < parent.end) {
    auto child = readNode(block, at, parent.end);
    if (!child) return std::nullopt;
    if (keyEquals(block, *child, key)) return child;
    at = align4(child->end);  // every step moves at least six bytes on
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> queryValue(std::string_view block, std::string_view subBlock) {
  auto node = readNode(block, 0, block.size());
  while (node && !subBlock.empty()) {
    std::size_t slash = subBlock.find('\\');
    std::string_view component = subBlock.substr(0, slash);
    subBlock = slash == std::string_view::npos ? std::string_view{} : subBlock.substr(slash + 1);
    if (!component.empty()) node = findChild(block, *node, component);
  }
  if (!node) return std::nullopt;
  return std::string(block.substr(node->value, node->valueBytes));
}

namespace {

struct GroupChoice {
  std::uint32_t id = 0;
  int score = 0;
  int area = 0;
  int bits = 0;

  // Closest in size; between equally close ones the larger (scaling down looks
  // better), then the deeper colour.
  bool betterThan(const GroupChoice& o) const {
    if (score != o.score) return score < o.score;
    if (area != o.area) return area > o.area;
    return bits > o.bits;
  }
};

// The icon of a group that best fits the wanted size.
std::optional<std::uint32_t> chooseIcon(std::string_view group, int width, int height) {
  if (group.size() < 6 || u16(group, 2) != 1) return std::nullopt;
  std::size_t count = u16(group, 4);
  std::optional<GroupChoice> best;
  for (std::size_t i = 0; i < count && fits(group, 6 + i * 14, 14); ++i) {
    std::size_t e = 6 + i * 14;
    int w = static_cast<unsigned char>(group[e]) ? static_cast<unsigned char>(group[e]) : 256;
    int h = static_cast<unsigned char>(group[e + 1]) ? static_cast<unsigned char>(group[e + 1]) : 256;
    GroupChoice c{u16(group, e + 12), std::abs(w - width) + std::abs(h - height), w * h,
                  static_cast<int>(u16(group, e + 6))};
    if (!best || c.betterThan(*best)) best = c;
  }
  if (!best) return std::nullopt;
  return best->id;
}

constexpr int kMaxIconSide = 256;

// A bitmap-format icon image: BITMAPINFOHEADER with twice the height, colour table,
// colour rows and the 1-bit AND mask, both bottom-up.
std::optional<IconImage> decodeIcon(std::string_view data) {
  if (data.size() < 40) return std::nullopt;
  std::size_t headerSize = u32(data, 0);
  int width = static_cast<std::int32_t>(u32(data, 4));
  int height = static_cast<std::int32_t>(u32(data, 8)) / 2;
  int bits = static_cast<int>(u16(data, 14));
  std::uint32_t compression = u32(data, 16);
  if (headerSize < 40 || headerSize > data.size() || width <= 0 || height <= 0 ||
      width > kMaxIconSide || height > kMaxIconSide || compression != 0)
    return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
  std::size_t paletteSize = 0;
  if (bits <= 8) {
    std::size_t used = u32(data, 32);
    paletteSize = used && used < (1u << bits) ? used : (1u << bits);
  }
  std::size_t palette = headerSize;
  std::size_t colours = palette + paletteSize * 4;
  std::size_t colourStride = ((std::size_t(width) * bits + 31) / 32) * 4;
  std::size_t mask = colours + colourStride * height;
  std::size_t maskStride = ((std::size_t(width) + 31) / 32) * 4;
  if (!fits(data, colours, colourStride * height)) return std::nullopt;
  bool hasMask = fits(data, mask, maskStride * height);

  IconImage image{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    std::size_t row = colours + colourStride * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      std::uint32_t argb;
      if (bits == 32) {
        argb = u32(data, row + x * 4);
      } else if (bits == 24) {
        std::size_t p = row + x * 3;
        argb = 0xFF000000u | u16(data, p) | static_cast<std::uint32_t>(static_cast<unsigned char>(data[p + 2])) << 16;
      } else {
        std::size_t bit = std::size_t(x) * bits;
        unsigned byte = static_cast<unsigned char>(data[row + bit / 8]);
        unsigned index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        argb = index < paletteSize ? (0xFF000000u | (u32(data, palette + index * 4) & 0xFFFFFF)) : 0xFF000000u;
      }
      if (bits == 32 && (argb >> 24)) anyAlpha = true;
      image.argb[std::size_t(y) * width + x] = argb;
    }
  }
  // Without an alpha channel in use, the AND mask says which pixels show.
  if (bits == 32 && anyAlpha) return image;
  for (int y = 0; y < height; ++y) {
    std::size_t row = mask + maskStride * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      bool transparent = hasMask && ((static_cast<unsigned char>(data[row + x / 8]) >> (7 - x % 8)) & 1);
      std::uint32_t& p = image.argb[std::size_t(y) * width + x];
      p = transparent ? 0 : (p | 0xFF000000u);
    }
  }
  return image;
}

}  // namespace

std::optional<IconImage> iconImage(std::string_view file, int width, int height) {
  auto group = findResource(file, kResourceGroupIcon);
  if (!group) return std::nullopt;
  auto id = chooseIcon(*group, width, height);
  if (!id) return std::nullopt;
  auto data = findResource(file, kResourceIcon, *id);
  if (!data) return std::nullopt;
  return decodeIcon(*data);
}

}  // namespace qovra::platform::pe
