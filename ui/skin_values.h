#pragma once
// Value syntaxes shared by skin attributes: colours, integer lists and the image
// mini-language.
#include <cstdint>
#include <string>

namespace SkinUI {

// The image type of a colour image ("color='...'" values and Image elements).
constexpr const wchar_t* kColorImageType = L"*COLOR*";

// Hexadecimal AARRGGBB with an optional leading '#' (then an optional "0x", as
// hexadecimal reading allows). Six digits give alpha 0. Reading stops at the first
// non-hex character; no digits give 0; an overflowing value gives 0xFFFFFFFF.
uint32_t ParseColourValue(const std::wstring& text);

struct SkinRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
};

// Decimal integers separated by one character each ("1,2,3,4"); missing ones are 0.
SkinRect ParseRectValue(const std::wstring& text);

// The parsed form of one image value: a plain image name ("res\mainWnd\bg1.png"), or
// key='value' pairs (file, res, restype, color, dest, source, corner/scale9, mask,
// fade, hole, xtiled, ytiled, hsl). Pairs are read while each closing quote is followed
// by a blank; the first malformed pair ends the list. Without a "file", "res" or
// "color" key the whole text is the image name.
struct ImageValue {
  std::wstring name;  // file name, resource name, or the colour text
  std::wstring type;  // empty: a skin file; "*COLOR*"; otherwise a resource type
  bool fromResource = false;
  SkinRect dest, source, corner;
  uint32_t mask = 0;
  int fade = 255;
  bool hole = false, xtiled = false, ytiled = false, hsl = false;
};
ImageValue ParseImageValue(const std::wstring& text);

// Formats a frame-name pattern holding exactly one integer conversion
// (%[flags][width][.precision]d, i or u; "%%" is a literal percent) with value. False
// for any other pattern, or a result longer than maxChars.
bool FormatFramePattern(const std::wstring& pattern, int value, std::wstring& result, size_t maxChars = 260);

}  // namespace SkinUI
