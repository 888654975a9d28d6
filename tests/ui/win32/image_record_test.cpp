#include "ui/win32/image_record.h"

#include <gtest/gtest.h>

#include "tests/ui/ui_fixtures.h"
#include "ui/skin_source.h"

namespace {

using SkinUI::CImageTable;
using SkinUI::ImageRecord;
using SkinUI::SkinSource;

class ImageRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinSource::ResetForTesting();
    SkinSource::SetInstance(GetModuleHandleW(nullptr));
    SkinSource::SetSevenZip(true);
    SkinSource::SetResourcePath(UiTest::FixturePath(L""));
    SkinSource::SetResourceArchive(L"skin_small.7z", true);
  }
  void TearDown() override {
    SkinUI::SharedImageTable().RemoveAll();
    SkinSource::ResetForTesting();
  }
};

TEST_F(ImageRecordTest, ImageIsATopDown32BitSectionOfPremultipliedPixels) {
  auto record = SkinUI::LoadImageRecord(L"res/MAINWND/bg1.png", L"", 0);
  ASSERT_TRUE(record);
  DIBSECTION section{};
  ASSERT_EQ(GetObjectW(record->bitmap, sizeof section, &section), static_cast<int>(sizeof section));
  EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
  EXPECT_EQ(section.dsBm.bmWidth, 5);
  EXPECT_EQ(section.dsBm.bmBits, record->pixels);
  EXPECT_EQ(record->width, 5);
  EXPECT_EQ(record->height, 1);
  EXPECT_TRUE(record->hasAlpha);
  const std::vector<uint32_t> pixels(record->pixels, record->pixels + 5);
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0, 0x80808080, 0xFF123456, 0xFFFF0000, 0x4032190C}));

  // Row 0 of the pixel buffer is the top row of the bitmap.
  auto tall = SkinUI::LoadImageRecord(L"res\\common\\tall.png", L"", 0);
  ASSERT_TRUE(tall);
  EXPECT_EQ(tall->pixels[0], 0xFFFF0000u);
  EXPECT_EQ(tall->pixels[1], 0xFF0000FFu);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, tall->bitmap);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
  SelectObject(dc, old);
  DeleteDC(dc);

  auto masked = SkinUI::LoadImageRecord(L"res\\mainWnd\\bg1.png", L"", 0xFFFF0000);
  ASSERT_TRUE(masked);
  EXPECT_EQ(masked->pixels[3], 0u);
  EXPECT_EQ(masked->mask, 0xFFFF0000u);
}

TEST_F(ImageRecordTest, ColourAndMissingImages) {
  auto colour = SkinUI::LoadImageRecord(L"#80FFFFFF", L"*COLOR*", 0);
  ASSERT_TRUE(colour);
  EXPECT_EQ(colour->width, 1);
  EXPECT_EQ(colour->pixels[0], 0x80FFFFFFu);
  EXPECT_EQ(colour->resourceType, L"*COLOR*");

  EXPECT_FALSE(SkinUI::LoadImageRecord(L"res\\common\\minbtn4.png", L"", 0));
  EXPECT_FALSE(SkinUI::LoadImageRecord(L"mainWnd.xml", L"", 0));        // not an image
  EXPECT_FALSE(SkinUI::LoadImageRecord(L"145", L"PNG", 0));             // no such resource
  // Outside the archive the name is tried as a path.
  EXPECT_TRUE(SkinUI::LoadImageRecord(UiTest::FixturePath(L"pixels.png"), L"", 0));
}

TEST_F(ImageRecordTest, TablesDecodeEachNameOnce) {
  CImageTable window, other;
  ImageRecord* first = SkinUI::GetImage(window, L"res\\mainWnd\\bg1.png", L"", 0, false);
  ASSERT_NE(first, nullptr);
  // Later requests get the same record; their type and mask are ignored.
  EXPECT_EQ(SkinUI::GetImage(window, L"res\\mainWnd\\bg1.png", L"", 0xFFFF0000, false), first);
  EXPECT_EQ(first->pixels[3], 0xFFFF0000u);
  // Keys are the names as written: another spelling is another record.
  ImageRecord* spelled = SkinUI::GetImage(window, L"res/mainWnd/bg1.png", L"", 0, false);
  ASSERT_NE(spelled, nullptr);
  EXPECT_NE(spelled, first);
  EXPECT_EQ(window.GetSize(), 2);
  // Another window decodes its own copy.
  EXPECT_NE(SkinUI::GetImage(other, L"res\\mainWnd\\bg1.png", L"", 0, false), first);

  // Shared images are found from every window.
  ImageRecord* shared = SkinUI::AddImage(window, L"res\\common\\btn1.png", L"", 0, true, true);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->originalPixels, std::vector<uint32_t>{0xFF010203});  // kept for HSL
  EXPECT_EQ(SkinUI::GetImage(other, L"res\\common\\btn1.png", L"", 0, false), shared);
  EXPECT_EQ(other.Find(L"res\\common\\btn1.png"), nullptr);

  // A failed load stores nothing.
  EXPECT_EQ(SkinUI::GetImage(window, L"res\\common\\closebtn4.png", L"", 0, false), nullptr);
  EXPECT_EQ(window.GetSize(), 2);

  // AddImage replaces a record of the same name.
  ImageRecord* replaced = SkinUI::AddImage(window, L"res\\mainWnd\\bg1.png", L"", 0xFFFF0000, false, false);
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(window.Find(L"res\\mainWnd\\bg1.png"), replaced);
  EXPECT_EQ(replaced->pixels[3], 0u);

  EXPECT_TRUE(window.Remove(L"res\\mainWnd\\bg1.png"));
  EXPECT_FALSE(window.Remove(L"res\\mainWnd\\bg1.png"));
  window.RemoveAll();
  EXPECT_EQ(window.GetSize(), 0);
}

}  // namespace
