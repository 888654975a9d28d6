#include "ui/seven_zip_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/ui/ui_fixtures.h"

namespace {

using SkinUI::SevenZipArchive;

std::vector<std::wstring> Paths(const SevenZipArchive& archive) {
  std::vector<std::wstring> paths;
  for (const auto& entry : archive.Entries()) paths.push_back(entry.path);
  return paths;
}

TEST(SevenZipArchive, OpensFromFileAndMemoryAlike) {
  const std::vector<uint8_t> bytes = UiTest::ReadBytes(UiTest::FixturePath(L"skin_small.7z"));
  ASSERT_FALSE(bytes.empty());
  SevenZipArchive fromFile, fromMemory;
  ASSERT_TRUE(fromFile.OpenFile(UiTest::FixturePath(L"skin_small.7z")));
  ASSERT_TRUE(fromMemory.OpenMemory(bytes.data(), bytes.size()));
  EXPECT_FALSE(fromMemory.IsIncomplete());
  EXPECT_EQ(Paths(fromFile), Paths(fromMemory));

  // Directories are skipped; every file is there, the empty one included.
  const std::vector<std::wstring> paths = Paths(fromMemory);
  EXPECT_EQ(paths.size(), 9u);
  for (const auto& path : paths) EXPECT_NE(path, L"emptydir");
  const SevenZipArchive::Entry* layout = fromMemory.Find(L"mainWnd.xml");
  ASSERT_NE(layout, nullptr);
  EXPECT_EQ(layout->pathUnits, 12u);  // with the terminator
  EXPECT_EQ(std::string(layout->bytes.begin(), layout->bytes.begin() + 5), "<?xml");
  EXPECT_EQ(fromMemory.Find(L"big.bin")->bytes.size(), 0x400001u);
  EXPECT_TRUE(fromMemory.Find(L"empty.txt")->bytes.empty());

  fromMemory.Close();
  EXPECT_FALSE(fromMemory.IsOpen());
  EXPECT_EQ(fromMemory.Find(L"mainWnd.xml"), nullptr);
}

TEST(SevenZipArchive, LookupIgnoresCaseAndSeparatorKind) {
  SevenZipArchive archive;
  ASSERT_TRUE(archive.OpenFile(UiTest::FixturePath(L"skin_small.7z")));
  struct Case {
    const wchar_t* name;
    bool found;
  };
  const Case cases[] = {
      {L"mainWnd.xml", true},           {L"MainWnd.xml", true},
      {L"MAINWND.XML", true},           {L"res\\mainWnd\\bg1.png", true},
      {L"res/mainWnd/bg1.png", true},   {L"RES\\MAINWND/BG1.PNG", true},
      {L"mainWnd.xm", false},           {L"mainWnd.xml ", false},
      {L"\\mainWnd.xml", false},        {L"bg1.png", false},
      {L"res\\mainWnd", false},         {L"", false},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(std::string(row.name, row.name + std::wcslen(row.name)));
    EXPECT_EQ(archive.Find(row.name) != nullptr, row.found);
  }
}

// skin_copy.7z is uncompressed and was packed from folders, so its paths hold '/'. Only
// the requested name's '/' counts as '\': such entries are unpacked but never found.
TEST(SevenZipArchive, StoredArchiveUnpacksButSlashPathsNeverMatch) {
  SevenZipArchive archive;
  ASSERT_TRUE(archive.OpenFile(UiTest::FixturePath(L"skin_copy.7z")));
  const std::vector<std::wstring> paths = Paths(archive);
  EXPECT_EQ(paths.size(), 9u);
  EXPECT_NE(std::find(paths.begin(), paths.end(), L"res/common/btn1.png"), paths.end());
  EXPECT_NE(archive.Find(L"MAINWND.XML"), nullptr);
  EXPECT_EQ(archive.Find(L"res/common/btn1.png"), nullptr);
  EXPECT_EQ(archive.Find(L"res\\common\\btn1.png"), nullptr);
}

TEST(SevenZipArchive, UnreadableInputFailsToOpen) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"not an archive", "PK\x03\x04 definitely not 7z"},
      {"signature only", std::string("7z\xBC\xAF\x27\x1C", 6)},
      {"signature and zero header", std::string("7z\xBC\xAF\x27\x1C\x00\x04", 8) + std::string(24, '\0')},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    SevenZipArchive archive;
    EXPECT_FALSE(archive.OpenMemory(reinterpret_cast<const uint8_t*>(row.bytes.data()), row.bytes.size()));
    EXPECT_FALSE(archive.IsOpen());
    EXPECT_TRUE(archive.Entries().empty());
  }
  SevenZipArchive archive;
  EXPECT_FALSE(archive.OpenFile(UiTest::FixturePath(L"no-such-archive.7z")));
  EXPECT_FALSE(archive.OpenMemory(nullptr, 10));
}

// Every truncation either fails to open or opens with a consistent subset; none crashes.
TEST(SevenZipArchive, TruncatedArchivesNeverCrash) {
  const std::vector<uint8_t> bytes = UiTest::ReadBytes(UiTest::FixturePath(L"skin_small.7z"));
  ASSERT_GT(bytes.size(), 64u);
  for (size_t length = 0; length < bytes.size(); ++length) {
    SevenZipArchive archive;
    if (archive.OpenMemory(bytes.data(), length)) {
      for (const auto& entry : archive.Entries()) EXPECT_FALSE(entry.path.empty());
    }
  }
  // The database sits at the end: any cut loses it.
  SevenZipArchive archive;
  EXPECT_FALSE(archive.OpenMemory(bytes.data(), bytes.size() - 1));
}

TEST(SevenZipArchive, CorruptPackedDataStopsUnpackingButKeepsTheArchiveOpen) {
  std::vector<uint8_t> bytes = UiTest::ReadBytes(UiTest::FixturePath(L"skin_small.7z"));
  ASSERT_GT(bytes.size(), 64u);
  // The packed stream starts right after the 32-byte signature header.
  for (size_t i = 40; i < 60; ++i) bytes[i] ^= 0x5A;
  SevenZipArchive archive;
  ASSERT_TRUE(archive.OpenMemory(bytes.data(), bytes.size()));
  EXPECT_TRUE(archive.IsIncomplete());
  EXPECT_LT(archive.Entries().size(), 9u);
}

// A few kilobytes that unpack to 40 MiB: the reader refuses the allocation instead of
// following whatever size an archive declares.
TEST(SevenZipArchive, OversizedSolidBlockIsNotUnpacked) {
  const std::vector<uint8_t> bytes = UiTest::ReadBytes(UiTest::FixturePath(L"skin_bomb.7z"));
  ASSERT_LT(bytes.size(), SevenZipArchive::kMaxAllocationBytes / 100);
  SevenZipArchive archive;
  ASSERT_TRUE(archive.OpenMemory(bytes.data(), bytes.size()));
  EXPECT_TRUE(archive.IsIncomplete());
  EXPECT_TRUE(archive.Entries().empty());
}

TEST(SevenZipArchive, CorruptHeaderFailsToOpen) {
  std::vector<uint8_t> bytes = UiTest::ReadBytes(UiTest::FixturePath(L"skin_small.7z"));
  ASSERT_GT(bytes.size(), 64u);
  bytes[bytes.size() - 10] ^= 0xFF;  // inside the (CRC-checked) database
  SevenZipArchive archive;
  EXPECT_FALSE(archive.OpenMemory(bytes.data(), bytes.size()));
}

}  // namespace
