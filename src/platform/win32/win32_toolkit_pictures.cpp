// Pictures of the Win32 toolkit: image file bytes decoded into 32-bit DIB sections,
// drawn into controls and image lists, and icons taken from .ico file bytes.
#include <wincodec.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/win32/gdi_pixels.h"
#include "platform/win32/win32_toolkit_internal.h"

namespace qovra::ui::win32 {
namespace {

constexpr int kMaxSide = 16384;  // larger pictures are refused rather than allocated

template <typename T>
bool readAt(std::string_view bytes, std::size_t offset, T& out) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return false;
  std::memcpy(&out, bytes.data() + offset, sizeof(T));
  return true;
}

// A blank 32-bit top-down DIB section; its pixels through `pixels`.
HBITMAP createDib(int width, int height, std::uint32_t** pixels) {
  void* bits = nullptr;
  HBITMAP bitmap = platform::win32::createTopDownDib(width, height, &bits);
  *pixels = static_cast<std::uint32_t*>(bits);
  return bitmap;
}

// Premultiplies the pixels when any of them carries alpha; says whether it did.
bool premultiplyIfAlpha(std::uint32_t* pixels, std::size_t count) {
  bool anyAlpha = std::any_of(pixels, pixels + count, [](std::uint32_t p) { return (p >> 24) != 0; });
  if (!anyAlpha) return false;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t p = pixels[i], a = p >> 24;
    auto channel = [&](int shift) { return (((p >> shift) & 0xFF) * a / 255) << shift; };
    pixels[i] = (a << 24) | channel(16) | channel(8) | channel(0);
  }
  return true;
}

std::size_t rowStride(int width, int bitCount) {
  return ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
}

Picture decodeBmp(std::string_view bytes) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  if (!readAt(bytes, 0, file) || file.bfType != 0x4D42) return {};
  if (!readAt(bytes, sizeof file, info) || info.biSize < sizeof info) return {};
  const int width = info.biWidth;
  const int height = info.biHeight == INT32_MIN ? 0 : std::abs(static_cast<int>(info.biHeight));
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return {};
  const int bits = info.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return {};
  if (info.biCompression != BI_RGB && info.biCompression != BI_BITFIELDS) return {};

  std::size_t colours = bits <= 8 ? (info.biClrUsed ? info.biClrUsed : (1u << bits)) : 0;
  if (colours > 256) return {};
  std::size_t masks = (info.biCompression == BI_BITFIELDS && info.biSize == sizeof info) ? 12 : 0;
  std::size_t headerEnd = sizeof file + info.biSize + masks + colours * 4;
  std::size_t imageSize = rowStride(width, bits) * height;
  if (headerEnd > bytes.size() || file.bfOffBits < headerEnd || file.bfOffBits > bytes.size() ||
      bytes.size() - file.bfOffBits < imageSize) {
    return {};
  }

  std::uint32_t* pixels = nullptr;
  HBITMAP bitmap = createDib(width, height, &pixels);
  if (!bitmap) return {};
  const char* source = bytes.data() + file.bfOffBits;
  if (bits == 32 && info.biCompression == BI_RGB) {
    // Copied by hand: GDI is not bound to keep the fourth byte, which may be alpha.
    const bool bottomUp = info.biHeight > 0;
    for (int y = 0; y < height; ++y) {
      int from = bottomUp ? height - 1 - y : y;
      std::memcpy(pixels + static_cast<std::size_t>(y) * width, source + rowStride(width, 32) * from,
                  static_cast<std::size_t>(width) * 4);
    }
  } else {
    // GDI needs the header copied out: the file gives no alignment guarantee.
    std::vector<char> header(bytes.begin() + sizeof file, bytes.begin() + headerEnd);
    HDC dc = GetDC(nullptr);
    int lines = SetDIBits(dc, bitmap, 0, height, source,
                          reinterpret_cast<BITMAPINFO*>(header.data()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (lines != height) {
      DeleteObject(bitmap);
      return {};
    }
    std::for_each(pixels, pixels + static_cast<std::size_t>(width) * height,
                  [](std::uint32_t& p) { p &= 0x00FFFFFF; });
  }
  bool alpha = premultiplyIfAlpha(pixels, static_cast<std::size_t>(width) * height);
  return Picture(bitmap, width, height, alpha);
}

template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
  T** out() { return &p; }
  T* operator->() const { return p; }
};

// Everything else Windows' imaging component can read (PNG, JPEG, GIF, ICO, TIFF).
Picture decodeWithWic(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > 64u * 1024 * 1024) return {};
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out())))) {
    return {};
  }
  ComPtr<IStream> stream;
  stream.p = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<UINT>(bytes.size()));
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  if (!stream.p ||
      FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnLoad,
                                              decoder.out())) ||
      FAILED(decoder->GetFrame(0, frame.out())) ||
      FAILED(factory->CreateFormatConverter(converter.out())) ||
      FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
    return {};
  }
  UINT width = 0, height = 0;
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 ||
      width > kMaxSide || height > kMaxSide) {
    return {};
  }
  std::uint32_t* pixels = nullptr;
  HBITMAP bitmap = createDib(static_cast<int>(width), static_cast<int>(height), &pixels);
  if (!bitmap) return {};
  if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                   reinterpret_cast<BYTE*>(pixels)))) {
    DeleteObject(bitmap);
    return {};
  }
  bool alpha = std::any_of(pixels, pixels + width * height,
                           [](std::uint32_t p) { return (p >> 24) != 0xFF; });
  return Picture(bitmap, static_cast<int>(width), static_cast<int>(height), alpha);
}

}  // namespace

Picture& Picture::operator=(Picture&& other) noexcept {
  if (this != &other) {
    reset();
    bitmap_ = std::exchange(other.bitmap_, nullptr);
    width_ = other.width_;
    height_ = other.height_;
    alpha_ = other.alpha_;
  }
  return *this;
}

void Picture::reset() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
}

Picture decodePicture(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return decodeBmp(bytes);
  return decodeWithWic(bytes);
}

void drawPicture(HDC dc, const Picture& picture, const RECT& area) {
  if (!picture) return;
  int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
  int width = picture.width(), height = picture.height();
  if (width > areaWidth || height > areaHeight) {
    // Scaled down as a whole, so the proportions stay.
    double scale = std::min(static_cast<double>(areaWidth) / width,
                            static_cast<double>(areaHeight) / height);
    width = std::max(1, static_cast<int>(width * scale));
    height = std::max(1, static_cast<int>(height * scale));
  }
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, picture.bitmap());
  if (picture.alpha()) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, area.left, area.top, width, height, source, 0, 0, picture.width(),
                  picture.height(), blend);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, area.left, area.top, width, height, source, 0, 0, picture.width(),
               picture.height(), SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
}

HBITMAP tileBitmap(const Picture& picture, int width, int height, COLORREF background) {
  std::uint32_t* pixels = nullptr;
  HBITMAP tile = createDib(width, height, &pixels);
  if (!tile) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, tile);
  HBRUSH fill = CreateSolidBrush(background);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, fill);
  DeleteObject(fill);
  if (!picture) {
    SelectObject(dc, old);
    DeleteDC(dc);
    return tile;
  }
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ oldSource = SelectObject(source, picture.bitmap());
  if (picture.alpha()) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, 0, 0, width, height, source, 0, 0, picture.width(), picture.height(), blend);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, width, height, source, 0, 0, picture.width(), picture.height(), SRCCOPY);
  }
  SelectObject(source, oldSource);
  DeleteDC(source);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tile;
}

HICON iconFromFileBytes(std::string_view bytes, int width, int height) {
  WORD reserved = 1, type = 0, count = 0;
  if (!readAt(bytes, 0, reserved) || !readAt(bytes, 2, type) || !readAt(bytes, 4, count) ||
      reserved != 0 || type != 1 || count == 0) {
    return nullptr;
  }
  // The best entry: the wanted size before any other, then the most colours, then the
  // size nearest to the wanted one.
  long bestScore = -1;
  DWORD bestSize = 0, bestOffset = 0;
  for (WORD i = 0; i < count; ++i) {
    std::size_t at = 6 + static_cast<std::size_t>(i) * 16;
    BYTE w = 0, h = 0;
    WORD bitCount = 0;
    DWORD size = 0, offset = 0;
    if (!readAt(bytes, at, w) || !readAt(bytes, at + 1, h) || !readAt(bytes, at + 6, bitCount) ||
        !readAt(bytes, at + 8, size) || !readAt(bytes, at + 12, offset)) {
      return nullptr;
    }
    if (offset > bytes.size() || size > bytes.size() - offset || size == 0) continue;
    int entryWidth = w ? w : 256, entryHeight = h ? h : 256;
    int distance = std::abs(entryWidth - width) + std::abs(entryHeight - height);
    long score = (distance == 0 ? 1000000L : 0L) + bitCount * 1000L + (512 - std::min(distance, 512));
    if (score > bestScore) {
      bestScore = score;
      bestSize = size;
      bestOffset = offset;
    }
  }
  if (bestScore < 0) return nullptr;
  auto* data = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())) + bestOffset;
  return CreateIconFromResourceEx(data, bestSize, TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
}

}  // namespace qovra::ui::win32
