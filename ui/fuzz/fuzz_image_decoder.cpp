// Image bytes: decode with and without a mask; check the pixel rules on the result.
#include <cstddef>
#include <cstdint>

#include "ui/image_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SkinUI::DecodedImage image;
  if (!SkinUI::DecodeSkinImage(data, size, 0xFFFF0000u, image)) return 0;
  if (image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) __builtin_trap();
  for (uint32_t pixel : image.pixels) {
    const uint32_t a = pixel >> 24;
    // Premultiplied: no colour channel above alpha; the mask colour never survives.
    if (((pixel >> 16) & 0xFF) > a || ((pixel >> 8) & 0xFF) > a || (pixel & 0xFF) > a) __builtin_trap();
    if (pixel == 0xFFFF0000u) __builtin_trap();
  }
  return 0;
}
