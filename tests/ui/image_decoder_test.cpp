#include "ui/image_decoder.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/ui_fixtures.h"
#include "ui/seven_zip_archive.h"

namespace {

using SkinUI::DecodedImage;
using SkinUI::DecodeSkinImage;

// pixels.png is one row of five RGBA pixels: (10,20,30,0), (255,255,255,128),
// (0x12,0x34,0x56,255), (255,0,0,255), (200,100,50,64).
class ImageDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_Png = UiTest::ReadBytes(UiTest::FixturePath(L"pixels.png"));
    ASSERT_FALSE(m_Png.empty());
  }
  std::vector<uint8_t> m_Png;
};

TEST_F(ImageDecoderTest, PremultipliedBgraWithTheMaskRule) {
  struct Case {
    const char* name;
    uint32_t mask;
    std::vector<uint32_t> pixels;
  };
  const Case cases[] = {
      {"no mask", 0, {0x00000000, 0x80808080, 0xFF123456, 0xFFFF0000, 0x4032190C}},
      {"mask equal to a converted pixel clears it", 0xFFFF0000, {0, 0x80808080, 0xFF123456, 0, 0x4032190C}},
      {"six-digit mask has alpha 0 and matches nothing", 0x00FF0000,
       {0x00000000, 0x80808080, 0xFF123456, 0xFFFF0000, 0x4032190C}},
      {"mask is compared premultiplied", 0x80808080, {0, 0, 0xFF123456, 0xFFFF0000, 0x4032190C}},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    DecodedImage image;
    ASSERT_TRUE(DecodeSkinImage(m_Png.data(), m_Png.size(), row.mask, image));
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.pixels, row.pixels);
    EXPECT_TRUE(image.hasAlpha);
  }
  // In memory each pixel is B, G, R, A: the half-transparent white is 128,128,128,128.
  DecodedImage image;
  ASSERT_TRUE(DecodeSkinImage(m_Png.data(), m_Png.size(), 0, image));
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(image.pixels.data());
  EXPECT_EQ(std::vector<uint8_t>(bytes + 4, bytes + 12), (std::vector<uint8_t>{128, 128, 128, 128, 0x56, 0x34, 0x12, 255}));
}

TEST_F(ImageDecoderTest, OpaqueImageHasNoAlphaUntilTheMaskClearsAPixel) {
  SkinUI::SevenZipArchive archive;
  ASSERT_TRUE(archive.OpenFile(UiTest::FixturePath(L"skin_small.7z")));
  const auto* entry = archive.Find(L"res\\common\\btn1.png");  // one pixel (1,2,3,255)
  ASSERT_NE(entry, nullptr);
  DecodedImage image;
  ASSERT_TRUE(DecodeSkinImage(entry->bytes.data(), entry->bytes.size(), 0, image));
  EXPECT_FALSE(image.hasAlpha);
  EXPECT_EQ(image.pixels, std::vector<uint32_t>{0xFF010203});
  ASSERT_TRUE(DecodeSkinImage(entry->bytes.data(), entry->bytes.size(), 0xFF010203, image));
  EXPECT_TRUE(image.hasAlpha);
  EXPECT_EQ(image.pixels, std::vector<uint32_t>{0});
}

TEST_F(ImageDecoderTest, UndecodableBytesGiveNoImage) {
  std::vector<uint8_t> corrupt = m_Png;
  corrupt[corrupt.size() / 2] ^= 0xFF;  // inside the compressed data: CRC/zlib error
  std::vector<uint8_t> huge = m_Png;
  huge[16] = 0x7F;  // width 0x7F000005 in IHDR
  std::vector<uint8_t> overlong = m_Png;
  overlong[33] = 0x3F;  // the IDAT chunk claims about a gigabyte the file does not have
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"not an image", {'h', 'e', 'l', 'l', 'o'}},
      {"truncated", std::vector<uint8_t>(m_Png.begin(), m_Png.begin() + 40)},
      {"header only", std::vector<uint8_t>(m_Png.begin(), m_Png.begin() + 8)},
      {"absurd size", huge},
      {"chunk longer than the file", overlong},
      {"no end chunk", std::vector<uint8_t>(m_Png.begin(), m_Png.end() - 12)},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    DecodedImage image;
    EXPECT_FALSE(DecodeSkinImage(row.bytes.data(), row.bytes.size(), 0, image));
    EXPECT_TRUE(image.pixels.empty());
  }
  DecodedImage image;
  (void)DecodeSkinImage(corrupt.data(), corrupt.size(), 0, image);  // any outcome, no crash
}

TEST(ColourImage, OnePixelHoldingTheValueUnchanged) {
  struct Case {
    const wchar_t* text;
    uint32_t pixel;
    bool hasAlpha;
  };
  const Case cases[] = {
      {L"#FF1675FE", 0xFF1675FE, false},
      {L"FF1675FE", 0xFF1675FE, false},
      {L"#80FFFFFF", 0x80FFFFFF, true},  // not premultiplied
      {L"#FF0000", 0x00FF0000, true},
      {L"", 0, true},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(std::string(row.text, row.text + std::wcslen(row.text)));
    const DecodedImage image = SkinUI::MakeColourImage(row.text);
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.pixels, std::vector<uint32_t>{row.pixel});
    EXPECT_EQ(image.hasAlpha, row.hasAlpha);
  }
}

}  // namespace
