#include "ui/image_decoder.h"

#include <stb_image.h>

#include <cstring>
#include <memory>

#include "ui/skin_values.h"

namespace SkinUI {

namespace {

struct StbFree {
  void operator()(stbi_uc* p) const { stbi_image_free(p); }
};

constexpr int kChannels = 4;
constexpr size_t kPngSignatureBytes = 8;
constexpr size_t kPngChunkOverheadBytes = 12;  // length, type, CRC

uint32_t ReadBigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// Every chunk must lie inside the bytes. The decoder trusts chunk lengths when it sizes
// its buffers, so a tiny file declaring a gigabyte of image data would otherwise make it
// allocate that much before noticing the data is not there.
bool PngChunksFit(const uint8_t* bytes, size_t length) {
  static const uint8_t kSignature[kPngSignatureBytes] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (length < kPngSignatureBytes || std::memcmp(bytes, kSignature, kPngSignatureBytes) != 0) return false;
  size_t pos = kPngSignatureBytes;
  while (length - pos >= kPngChunkOverheadBytes) {
    const uint32_t chunkLength = ReadBigEndian32(bytes + pos);
    if (chunkLength > length - pos - kPngChunkOverheadBytes) return false;
    if (std::memcmp(bytes + pos + 4, "IEND", 4) == 0) return true;
    pos += kPngChunkOverheadBytes + chunkLength;
  }
  return false;  // no IEND
}

}  // namespace

bool DecodeSkinImage(const uint8_t* bytes, size_t length, uint32_t mask, DecodedImage& image) {
  image = DecodedImage();
  if (bytes == nullptr || length == 0 || length > static_cast<size_t>(INT32_MAX)) return false;
  if (!PngChunksFit(bytes, length)) return false;
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(bytes, static_cast<int>(length), &width, &height, &channels)) return false;
  if (width <= 0 || height <= 0 || static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxImagePixels)
    return false;
  std::unique_ptr<stbi_uc, StbFree> rgba(
      stbi_load_from_memory(bytes, static_cast<int>(length), &width, &height, &channels, kChannels));
  if (!rgba) return false;

  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  const stbi_uc* src = rgba.get();
  for (uint32_t& pixel : image.pixels) {
    uint32_t r = src[0], g = src[1], b = src[2];
    const uint32_t a = src[3];
    src += kChannels;
    if (a != 255) {
      r = r * a / 255;
      g = g * a / 255;
      b = b * a / 255;
      image.hasAlpha = true;
    }
    pixel = (a << 24) | (r << 16) | (g << 8) | b;
    if (pixel == mask) {
      pixel = 0;
      image.hasAlpha = true;
    }
  }
  return true;
}

DecodedImage MakeColourImage(const std::wstring& colourText) {
  DecodedImage image;
  image.width = 1;
  image.height = 1;
  const uint32_t value = ParseColourValue(colourText);
  image.pixels.assign(1, value);
  image.hasAlpha = (value >> 24) != 255;
  return image;
}

}  // namespace SkinUI
