#include "ui/win32/skin_resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "ui/seven_zip_archive.h"
#include "ui/skin_source.h"

namespace {

using SkinUI::SkinSource;

class SkinResourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinSource::ResetForTesting();
    SkinSource::SetInstance(GetModuleHandleW(nullptr));
    SkinSource::SetSevenZip(true);
  }
  void TearDown() override { SkinSource::ResetForTesting(); }
};

// ui_test carries a skin archive as resource "ZIPRES"/147 (the product's skin, or the
// fixture archive where the skin is not part of the build).
TEST_F(SkinResourceTest, ArchiveResourceLoadsOnceAndIsReused) {
  ASSERT_TRUE(SkinUI::PrepareSkinSource(SkinUI::SkinResourceType::ZipResource, L"", L"", 147));
  EXPECT_EQ(SkinSource::GetResourceArchive(), L"membuffer");
  const SkinUI::SevenZipArchive* archive = SkinSource::GetCachedArchive();
  ASSERT_NE(archive, nullptr);
  EXPECT_FALSE(archive->IsIncomplete());
  // The resource path became the executable's folder.
  EXPECT_EQ(SkinSource::GetResourcePath(), SkinSource::GetInstancePath());
  EXPECT_FALSE(SkinSource::GetResourcePath().empty());

  // The window base asks for "MainWnd.xml"; the archive holds mainWnd.xml.
  SkinUI::CXmlMarkup markup;
  ASSERT_TRUE(markup.LoadFromFile(L"MainWnd.xml")) << markup.GetLastErrorMessage().size();
  EXPECT_STREQ(markup.GetRoot().GetName(), L"Window");

  // A second window reuses the archive already in memory.
  ASSERT_TRUE(SkinUI::PrepareSkinSource(SkinUI::SkinResourceType::ZipResource, L"", L"", 147));
  EXPECT_EQ(SkinSource::GetCachedArchive(), archive);
}

// Resource "ZIPRES" 150 of ui_test holds a PNG: present, but not an archive.
TEST_F(SkinResourceTest, UndecodableArchiveResourceFailsAtTheLayoutLoad) {
  EXPECT_TRUE(SkinUI::PrepareSkinSource(SkinUI::SkinResourceType::ZipResource, L"", L"", 150));
  EXPECT_EQ(SkinSource::GetResourceArchive(), L"membuffer");
  EXPECT_EQ(SkinSource::GetCachedArchive(), nullptr);
  SkinUI::CXmlMarkup markup;
  EXPECT_FALSE(markup.LoadFromFile(L"MainWnd.xml"));
  EXPECT_EQ(markup.GetLastErrorMessage(), L"Error opening zip file");
}

TEST_F(SkinResourceTest, MissingResourcesEndWindowCreation) {
  EXPECT_FALSE(SkinUI::PrepareSkinSource(SkinUI::SkinResourceType::ZipResource, L"", L"", 148));
  EXPECT_EQ(SkinSource::GetCachedArchive(), nullptr);
  SkinUI::CXmlMarkup markup;
  EXPECT_FALSE(SkinUI::LoadXmlResource(149, markup));
  EXPECT_EQ(markup.GetLastErrorMessage(), L"Error opening file");
  EXPECT_FALSE(markup.GetRoot().IsValid());
}

}  // namespace
