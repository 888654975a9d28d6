// Attribute values: colours, rectangles, image values and frame patterns.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/skin_values.h"
#include "ui/text_decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = SkinUI::Utf8ToWideLenient(data, size);
  (void)SkinUI::ParseColourValue(text);
  (void)SkinUI::ParseRectValue(text);
  const SkinUI::ImageValue value = SkinUI::ParseImageValue(text);
  if (value.fade < 0 || value.fade > 255) __builtin_trap();
  std::wstring frame;
  if (SkinUI::FormatFramePattern(text, 74, frame) && frame.size() > 260) __builtin_trap();
  return 0;
}
