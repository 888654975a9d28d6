#include "ui/skin_values.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using SkinUI::ImageValue;
using SkinUI::ParseImageValue;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(SkinValues, Colours) {
  struct Case {
    const wchar_t* text;
    uint32_t value;
  };
  const Case cases[] = {
      {L"#FF1675FE", 0xFF1675FE}, {L"0xFF1675FE", 0xFF1675FE}, {L"#0xFF1675FE", 0xFF1675FE},
      {L"ff1675fe", 0xFF1675FE},  {L"#FF0000", 0x00FF0000},    {L"#26003B76", 0x26003B76},
      {L"", 0},                   {L"#", 0},                   {L"#zz", 0},
      {L"#12G4", 0x12},           {L"#1FFFFFFFF", 0xFFFFFFFF}, {L"0x", 0},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(Narrow(row.text));
    EXPECT_EQ(SkinUI::ParseColourValue(row.text), row.value);
  }
}

TEST(SkinValues, Rectangles) {
  const SkinUI::SkinRect r = SkinUI::ParseRectValue(L"0,2,15,16");
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 2);
  EXPECT_EQ(r.right, 15);
  EXPECT_EQ(r.bottom, 16);
  const SkinUI::SkinRect partial = SkinUI::ParseRectValue(L"-3;4");
  EXPECT_EQ(partial.left, -3);
  EXPECT_EQ(partial.top, 4);
  EXPECT_EQ(partial.right, 0);
  EXPECT_TRUE(SkinUI::ParseRectValue(L"").IsEmpty());
  EXPECT_TRUE(SkinUI::ParseRectValue(L"x,1").IsEmpty());
}

TEST(SkinValues, ImageValueNamesAndTypes) {
  struct Case {
    const char* name;
    const wchar_t* text;
    const wchar_t* imageName;
    const wchar_t* type;
    bool fromResource;
  };
  const Case cases[] = {
      {"plain name", L"res\\mainWnd\\bg1.png", L"res\\mainWnd\\bg1.png", L"", false},
      {"file pair", L"file='res\\common\\minbtn1.png' fade='255'", L"res\\common\\minbtn1.png", L"", false},
      {"blanks around =", L"  file = 'a.png'", L"a.png", L"", false},
      {"colour", L"color='#FF00FF00'", L"#FF00FF00", L"*COLOR*", false},
      {"resource with type", L"res='145' restype='PNG'", L"145", L"PNG", true},
      {"pairs without a file name", L"fade='100'", L"fade='100'", L"", false},
      {"double-quoted is not a pair", L"file=\"a.png\"", L"file=\"a.png\"", L"", false},
      {"unterminated value", L"file='a.png", L"file='a.png", L"", false},
      {"keys are case-sensitive", L"FILE='a.png'", L"FILE='a.png'", L"", false},
      {"empty", L"", L"", L"", false},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    const ImageValue value = ParseImageValue(row.text);
    EXPECT_EQ(value.name, row.imageName);
    EXPECT_EQ(value.type, row.type);
    EXPECT_EQ(value.fromResource, row.fromResource);
  }
}

TEST(SkinValues, ImageValueOptionsAndPairSeparation) {
  const ImageValue all = ParseImageValue(
      L"file='a.png' dest='0,2,15,16' source='1,1,9,9' corner='2,2,2,2' mask='#FFFF00FF' fade='300' hole='true' "
      L"xtiled='true' ytiled='True' hsl='true'");
  EXPECT_EQ(all.dest.top, 2);
  EXPECT_EQ(all.dest.right, 15);
  EXPECT_EQ(all.source.right, 9);
  EXPECT_EQ(all.corner.bottom, 2);
  EXPECT_EQ(all.mask, 0xFFFF00FFu);
  EXPECT_EQ(all.fade, 255);  // clamped
  EXPECT_TRUE(all.hole);
  EXPECT_TRUE(all.xtiled);
  EXPECT_FALSE(all.ytiled);  // only "true" is true
  EXPECT_TRUE(all.hsl);
  EXPECT_EQ(ParseImageValue(L"file='a' scale9='1,2,3,4'").corner.right, 3);

  // Two blanks between pairs still read every pair; no blank stops after the first.
  EXPECT_EQ(ParseImageValue(L"file='a.png'  fade='100'").fade, 100);
  const ImageValue joined = ParseImageValue(L"file='a.png'fade='100'");
  EXPECT_EQ(joined.name, L"a.png");
  EXPECT_EQ(joined.fade, 255);
  // A malformed pair ends the list but keeps what came before.
  const ImageValue broken = ParseImageValue(L"fade='10' file 'b.png' hole='true'");
  EXPECT_EQ(broken.fade, 10);
  EXPECT_FALSE(broken.hole);
}

TEST(SkinValues, FramePatterns) {
  struct Case {
    const wchar_t* pattern;
    int value;
    const wchar_t* result;  // nullptr: refused
  };
  const Case cases[] = {
      {L"res\\mainWnd\\installBtnAnimate\\%.3d.png", 7, L"res\\mainWnd\\installBtnAnimate\\007.png"},
      {L"f%d.png", 74, L"f74.png"},
      {L"f%03i.png", 5, L"f005.png"},
      {L"100%%\\%u", 3, L"100%\\3"},
      {L"no conversion", 1, nullptr},
      {L"%s.png", 1, nullptr},
      {L"%d%d", 1, nullptr},
      {L"%n", 1, nullptr},
      {L"%.3", 1, nullptr},
      {L"%99999d", 1, nullptr},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(Narrow(row.pattern));
    std::wstring result;
    EXPECT_EQ(SkinUI::FormatFramePattern(row.pattern, row.value, result), row.result != nullptr);
    if (row.result != nullptr) {
      EXPECT_EQ(result, row.result);
    }
  }
  std::wstring result;
  EXPECT_FALSE(SkinUI::FormatFramePattern(std::wstring(300, L'x') + L"%d", 1, result));  // over 260 characters
}

}  // namespace
