#pragma once
// Skin image decoding into ready-to-blit pixels: 32-bit BGRA in memory (each pixel read
// as a 32-bit number is 0xAARRGGBB), rows top-down, colour channels premultiplied by
// alpha wherever alpha is below 255.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width * height values, 0xAARRGGBB
  // At least one pixel is not fully opaque, or was cleared by the mask.
  bool hasAlpha = false;
};

// Images with more pixels than this are refused (a hostile header cannot make the
// decoder allocate gigabytes).
constexpr uint64_t kMaxImagePixels = uint64_t{4096} * 4096;

// Decodes PNG bytes. A pixel with alpha 255 is kept as is; any other pixel gets each
// colour channel = channel * alpha / 255 (integer division), so a fully transparent
// pixel is all zeros. Afterwards every pixel whose value equals mask exactly (alpha
// included: "#FF0000" is 0x00FF0000, which no converted pixel has) becomes 0. False for
// bytes that do not decode or an image that is too large.
bool DecodeSkinImage(const uint8_t* bytes, size_t length, uint32_t mask, DecodedImage& image);

// A 1x1 image holding the colour value unchanged (not premultiplied): colourText is
// hexadecimal AARRGGBB with or without '#'.
DecodedImage MakeColourImage(const std::wstring& colourText);

}  // namespace SkinUI
