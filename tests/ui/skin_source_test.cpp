#include "ui/skin_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/ui/ui_fixtures.h"
#include "ui/seven_zip_archive.h"
#include "ui/xml_markup.h"
#include "utils/os.h"

namespace {

using SkinUI::LoadSkinFile;
using SkinUI::SkinSource;

struct LoadCase {
  const char* name;
  const wchar_t* file;
  const wchar_t* error;  // L"" for success
};

// Every test starts and ends with the start-up state of the process-wide settings.
class SkinSourceTest : public ::testing::Test {
 protected:
  void SetUp() override { SkinSource::ResetForTesting(); }
  void TearDown() override { SkinSource::ResetForTesting(); }

  // Folder of the fixture archives, as a resource path.
  static std::wstring FixtureFolder() { return UiTest::FixturePath(L""); }

  // One LoadSkinFile call: bytes on success, no bytes and exactly the error otherwise.
  static void ExpectLoad(const LoadCase& row) {
    SCOPED_TRACE(row.name);
    std::vector<uint8_t> bytes;
    std::wstring error;
    EXPECT_EQ(LoadSkinFile(row.file, bytes, error), *row.error == 0);
    EXPECT_EQ(error, row.error);
    EXPECT_EQ(bytes.empty(), *row.error != 0);
  }
};

TEST_F(SkinSourceTest, LooseFilesAndTheirErrors) {
  TestSupport::TempDir dir;
  ASSERT_TRUE(Utils::WriteWholeFile(dir.File(L"ok.xml"), "<Window/>"));
  ASSERT_TRUE(Utils::WriteWholeFile(dir.File(L"empty.xml"), ""));
  ASSERT_TRUE(Utils::WriteWholeFile(dir.File(L"big.xml"), std::string(SkinSource::kMaxSkinFileBytes + 1, ' ')));
  ASSERT_TRUE(Utils::WriteWholeFile(dir.File(L"limit.xml"), std::string(SkinSource::kMaxSkinFileBytes, ' ')));
  SkinSource::SetResourcePath(dir.Path());

  const LoadCase cases[] = {
      {"present", L"ok.xml", L""},
      {"exactly at the limit", L"limit.xml", L""},
      {"missing", L"nothing.xml", L"Error opening file"},
      {"a folder", L"", L"Error opening file"},
      {"empty", L"empty.xml", L"File is empty"},
      {"one byte over the limit", L"big.xml", L"File too large"},
  };
  for (const LoadCase& row : cases) ExpectLoad(row);
}

TEST_F(SkinSourceTest, ArchiveEntriesAndTheirErrors) {
  SkinSource::SetSevenZip(true);
  SkinSource::SetResourcePath(FixtureFolder());
  for (bool cache : {true, false}) {
    SCOPED_TRACE(cache ? "cached archive" : "archive opened per load");
    SkinSource::SetResourceArchive(L"skin_small.7z", cache);
    EXPECT_EQ(SkinSource::GetCachedArchive() != nullptr, cache);
    const LoadCase cases[] = {
        {"layout in other letter case", L"MainWnd.xml", L""},
        {"image with forward slashes", L"res/mainWnd/bg1.png", L""},
        {"absent entry", L"res\\common\\minbtn4.png", L"Could not find ziped file"},
        {"empty entry", L"empty.txt", L"File is empty"},
        {"entry over the limit", L"big.bin", L"File too large"},
    };
    for (const LoadCase& row : cases) ExpectLoad(row);
  }

  struct ArchiveCase {
    const char* name;
    const wchar_t* archive;
    bool sevenZip;
  };
  const ArchiveCase broken[] = {
      {"missing archive, cached", L"none.7z", true},
      {"not an archive", L"pixels.png", true},
      {"zip form is not provided", L"skin_small.7z", false},
  };
  for (const ArchiveCase& row : broken) {
    SCOPED_TRACE(row.name);
    SkinSource::ResetForTesting();
    SkinSource::SetResourcePath(FixtureFolder());
    SkinSource::SetSevenZip(row.sevenZip);
    SkinSource::SetResourceArchive(row.archive, true);
    ExpectLoad({"layout", L"mainWnd.xml", L"Error opening zip file"});
  }
}

TEST_F(SkinSourceTest, ResourcePathGetsOneTrailingSeparator) {
  SkinSource::SetResourcePath(L"");
  EXPECT_EQ(SkinSource::GetResourcePath(), L"");
  SkinSource::SetResourcePath(L"C:\\skin\\");
  EXPECT_EQ(SkinSource::GetResourcePath(), L"C:\\skin\\");
  SkinSource::SetResourcePath(L"/opt/skin/");
  EXPECT_EQ(SkinSource::GetResourcePath(), L"/opt/skin/");
  SkinSource::SetResourcePath(L"skin");
  const std::wstring path = SkinSource::GetResourcePath();
  ASSERT_EQ(path.size(), 5u);
  EXPECT_TRUE(path.back() == L'\\' || path.back() == L'/');
}

TEST_F(SkinSourceTest, ResourceInstanceFallsBackToTheInstance) {
  EXPECT_EQ(SkinSource::GetInstancePath(), L"");  // no instance yet
  int module = 0, resources = 0;
  SkinSource::SetInstance(&module);
  EXPECT_EQ(SkinSource::GetResourceInstance(), &module);
  SkinSource::SetResourceInstance(&resources);
  EXPECT_EQ(SkinSource::GetResourceInstance(), &resources);
  EXPECT_EQ(SkinSource::GetInstance(), &module);
}

TEST_F(SkinSourceTest, MemoryArchiveIsOpenedOnceAndReused) {
  SkinSource::SetSevenZip(true);
  std::vector<uint8_t> first = UiTest::ReadBytes(UiTest::FixturePath(L"skin_small.7z"));
  ASSERT_TRUE(SkinSource::SetResourceArchiveMemory(first.data(), first.size()));
  const SkinUI::SevenZipArchive* archive = SkinSource::GetCachedArchive();
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(SkinSource::GetResourceArchive(), L"membuffer");
  EXPECT_TRUE(SkinSource::IsArchiveCached());
  // The bytes were copied: the caller may reuse its buffer at once.
  std::fill(first.begin(), first.end(), 0);

  // A second window hands over another copy: the archive already in memory stays.
  const std::vector<uint8_t> second = UiTest::ReadBytes(UiTest::FixturePath(L"skin_copy.7z"));
  EXPECT_TRUE(SkinSource::SetResourceArchiveMemory(second.data(), second.size()));
  EXPECT_EQ(SkinSource::GetCachedArchive(), archive);

  SkinUI::CXmlMarkup markup;
  ASSERT_TRUE(markup.LoadFromFile(L"MainWnd.xml"));
  EXPECT_STREQ(markup.GetRoot().GetName(), L"Window");
  EXPECT_FALSE(markup.LoadFromFile(L"nothing.xml"));
  EXPECT_EQ(markup.GetLastErrorMessage(), L"Could not find ziped file");
  EXPECT_EQ(markup.GetLastErrorLocation(), L"");

  // Setting the same archive file and flag twice changes nothing; another one closes it.
  SkinSource::SetResourcePath(FixtureFolder());
  SkinSource::SetResourceArchive(L"skin_small.7z", true);
  const SkinUI::SevenZipArchive* fromFile = SkinSource::GetCachedArchive();
  ASSERT_NE(fromFile, nullptr);
  EXPECT_NE(SkinSource::GetResourceArchive(), L"membuffer");
  SkinSource::SetResourceArchive(L"skin_small.7z", true);
  EXPECT_EQ(SkinSource::GetCachedArchive(), fromFile);
}

TEST_F(SkinSourceTest, CorruptMemoryArchiveLeavesNoArchive) {
  SkinSource::SetSevenZip(true);
  const std::string junk = "not an archive at all";
  EXPECT_FALSE(SkinSource::SetResourceArchiveMemory(reinterpret_cast<const uint8_t*>(junk.data()), junk.size()));
  ExpectLoad({"layout", L"mainWnd.xml", L"Error opening zip file"});
}

TEST_F(SkinSourceTest, ImageBytesFallBackToTheNameAsAPath) {
  SkinSource::SetSevenZip(true);
  SkinSource::SetResourcePath(FixtureFolder());
  SkinSource::SetResourceArchive(L"skin_small.7z", true);
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(SkinUI::LoadSkinImageBytes(L"res\\mainWnd\\bg1.png", bytes));
  EXPECT_TRUE(SkinUI::LoadSkinImageBytes(UiTest::FixturePath(L"pixels.png"), bytes));
  EXPECT_EQ(bytes, UiTest::ReadBytes(UiTest::FixturePath(L"pixels.png")));
  EXPECT_FALSE(SkinUI::LoadSkinImageBytes(L"res\\common\\minbtn4.png", bytes));
}

}  // namespace
