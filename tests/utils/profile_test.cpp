#include <gtest/gtest.h>

#include <cctype>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/text.h"

namespace {

constexpr char kSample[] =
    "; installer settings\r\n"
    "[Install]\r\n"
    "m_DownloadUrl = http://dl.example/a b  \r\n"
    "Quoted=\"  padded  \"\r\n"
    "Single='x'\r\n"
    "HalfQuoted=\"open\r\n"
    "Empty=\r\n"
    "  Indented  =  value\t\r\n"
    "m_IsCheckNet=0\r\n"
    "Number= 42xyz\r\n"
    "Negative=-17\r\n"
    "Plus=+5\r\n"
    "Words=abc\r\n"
    "QuotedNumber=\"12\"\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    "\r\n"
    "[Other]\n"
    "Key=other section\n"
    "Legacy=\xC4\xE3\xBA\xC3\n"
    "[install]\r\n"
    "Late=in a second section of the same name\r\n";

class Profile : public testing::Test {
 protected:
  void SetUp() override {
    m_File = m_Temp.File(L"VexloInstallerConfig.ini");
    ASSERT_TRUE(Utils::WriteWholeFile(m_File, kSample));
  }
  std::wstring Get(const std::wstring& section, const std::wstring& key, size_t buffer = 260) {
    return Utils::GetProfileString(m_File, section, key, L"<default>", buffer);
  }
  TestSupport::TempDir m_Temp;
  std::wstring m_File;
};

}  // namespace

TEST_F(Profile, ReadsStrings) {
  struct Row {
    const char* name;
    std::wstring section, key, expected;
  };
  const Row rows[] = {
      {"value trimmed on both sides", L"Install", L"m_DownloadUrl", L"http://dl.example/a b"},
      {"section and key ignore case", L"INSTALL", L"M_DOWNLOADURL", L"http://dl.example/a b"},
      {"one pair of quotes removed, blanks inside kept", L"Install", L"Quoted", L"  padded  "},
      {"single quotes", L"Install", L"Single", L"x"},
      {"unmatched quote kept", L"Install", L"HalfQuoted", L"\"open"},
      {"empty value", L"Install", L"Empty", L""},
      {"indented key", L"Install", L"Indented", L"value"},
      {"first of two equal keys", L"Install", L"Dup", L"first"},
      {"lines ending in LF only", L"Other", L"Key", L"other section"},
      {"missing key", L"Install", L"Missing", L"<default>"},
      {"missing section", L"Nowhere", L"Key", L"<default>"},
      {"key of another section", L"Other", L"m_DownloadUrl", L"<default>"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Get(row.section, row.key), row.expected);
  }
}

TEST_F(Profile, CutsToTheBufferAndTrimsDefaults) {
  EXPECT_EQ(Get(L"Install", L"m_DownloadUrl", 8), L"http://");
  EXPECT_EQ(Get(L"Install", L"m_DownloadUrl", 1), L"");
  EXPECT_EQ(Utils::GetProfileString(m_File, L"Install", L"Missing", L"def  ", 260), L"def");
  EXPECT_EQ(Utils::GetProfileString(m_File, L"Install", L"Missing", L"default", 4), L"def");
  EXPECT_EQ(Utils::GetProfileString(m_Temp.File(L"missing.ini"), L"Install", L"Key", L"d", 260), L"d");
}

TEST_F(Profile, ReadsIntegers) {
  struct Row {
    const char* name;
    std::wstring key;
    int expected;
  };
  const Row rows[] = {
      {"plain", L"m_IsCheckNet", 0},       {"leading blank and trailing letters", L"Number", 42},
      {"negative", L"Negative", -17},       {"plus sign", L"Plus", 5},
      {"no digits", L"Words", 0},           {"quoted", L"QuotedNumber", 12},
      {"missing key", L"Missing", 99},      {"empty value", L"Empty", 99},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utils::GetProfileInt(m_File, L"install", row.key, 99), row.expected);
  }
  EXPECT_EQ(Utils::GetProfileInt(m_Temp.File(L"missing.ini"), L"Install", L"Key", -3), -3);
  EXPECT_EQ(Utils::ParseProfileInt(L"4294967295"), -1);  // a 32-bit accumulator, like the system's
}

TEST_F(Profile, WriterKeepsEverythingElse) {
  ASSERT_TRUE(Utils::WriteProfileString(m_File, L"INSTALL", L"m_isCheckNet", L"1"));
  ASSERT_TRUE(Utils::WriteProfileString(m_File, L"Install", L"NewKey", L"new value"));
  ASSERT_TRUE(Utils::WriteProfileString(m_File, L"Fresh", L"Key", L"in a new section"));
  EXPECT_EQ(Utils::GetProfileInt(m_File, L"Install", L"m_IsCheckNet", 7), 1);
  EXPECT_EQ(Get(L"Install", L"NewKey"), L"new value");
  EXPECT_EQ(Get(L"Fresh", L"Key"), L"in a new section");
  EXPECT_EQ(Get(L"Install", L"m_DownloadUrl"), L"http://dl.example/a b");
  EXPECT_EQ(Get(L"Install", L"Quoted"), L"  padded  ");
  EXPECT_EQ(Get(L"Other", L"Key"), L"other section");
  EXPECT_EQ(Get(L"Install", L"Dup"), L"first");
  std::string bytes;
  ASSERT_TRUE(Utils::ReadWholeFile(m_File, bytes));
  EXPECT_NE(bytes.find("; installer settings"), std::string::npos);
  EXPECT_NE(bytes.find("Legacy=\xC4\xE3\xBA\xC3"), std::string::npos);  // other lines keep their bytes
  // The key was updated in place, not added a second time.
  std::string lower = bytes;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t first = lower.find("m_ischecknet=");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(lower.find("m_ischecknet=", first + 1), std::string::npos);
  EXPECT_EQ(lower.compare(first, 14, "m_ischecknet=1"), 0);
}

TEST_F(Profile, WriterCreatesMissingFileAndRoundTrips) {
  const std::wstring file = m_Temp.File(L"set.ini");
  ASSERT_TRUE(Utils::WriteProfileString(file, L"Setting", L"InstallPath", L"C:\\Program Files\\Parlino"));
  ASSERT_TRUE(Utils::WriteProfileString(file, L"Setting", L"InstallPath", L"D:\\Parlino"));
  ASSERT_TRUE(Utils::WriteProfileString(file, L"Setting", L"DeviceId", L"0123456789ABcdef0123456789ABCDEF"));
  EXPECT_EQ(Utils::GetProfileString(file, L"Setting", L"InstallPath", L"", 260), L"D:\\Parlino");
  EXPECT_EQ(Utils::GetProfileString(file, L"setting", L"deviceid", L"", 260), L"0123456789ABcdef0123456789ABCDEF");
  EXPECT_FALSE(Utils::WriteProfileString(Utils::JoinPath(m_Temp.File(L"no-dir"), L"x.ini"), L"S", L"K", L"V"));
  const std::wstring folder = m_Temp.File(L"folder.ini");
  ASSERT_TRUE(Utils::MakeDirectory(folder));
  EXPECT_FALSE(Utils::WriteProfileString(folder, L"S", L"K", L"V"));
  EXPECT_TRUE(Utils::IsDirectory(folder));
}

#ifndef _WIN32
TEST_F(Profile, WriterKeepsTheFilePermissions) {
  const std::string path = Utils::WideToMultiByte(m_File, Utils::kCodePageAnsi);
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  ASSERT_TRUE(Utils::WriteProfileString(m_File, L"Install", L"DeviceId", L"0123"));
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
}
#endif

TEST_F(Profile, WriterRefusesEntriesThatWouldReshapeTheFile) {
  struct Row {
    const char* name;
    std::wstring section, key, value;
  };
  const Row rows[] = {
      {"line break in value", L"Install", L"K", L"a\r\n[Evil]\r\nx=1"},
      {"line feed in key", L"Install", L"K\nx", L"v"},
      {"equals in key", L"Install", L"a=b", L"v"},
      {"bracket in section", L"In]stall", L"K", L"v"},
      {"empty key", L"Install", L"", L"v"},
      {"blank key", L"Install", L"  ", L"v"},
      {"key reading as a section", L"Install", L"[Evil", L"v"},
      {"key reading as a comment", L"Install", L" ;K", L"v"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(Utils::WriteProfileString(m_File, row.section, row.key, row.value));
  }
  std::string bytes;
  ASSERT_TRUE(Utils::ReadWholeFile(m_File, bytes));
  EXPECT_EQ(bytes, kSample);
}

TEST(Registry, RoundTripsTypedValues) {
  const std::wstring key = L"Software\\VexloSoft\\ParlinoUtilsTest" + std::to_wstring(Utils::CurrentProcessId());
  const std::wstring text = L"  C:\\Program Files\\\x52A9 \\n  ";
  ASSERT_TRUE(Utils::RegSetString(key, L"InstallPath", text));
  ASSERT_TRUE(Utils::RegSetDword(key, L"Count", 0xFFFFFFFFu));
  ASSERT_TRUE(Utils::RegSetString(key, L"", L"default value"));
  std::wstring readText;
  uint32_t readNumber = 0;
  ASSERT_TRUE(Utils::RegGetString(key, L"InstallPath", readText));
  EXPECT_EQ(readText, text);
  ASSERT_TRUE(Utils::RegGetDword(key, L"count", readNumber));
  EXPECT_EQ(readNumber, 0xFFFFFFFFu);
  ASSERT_TRUE(Utils::RegGetString(key, L"", readText));
  EXPECT_EQ(readText, L"default value");

  ASSERT_TRUE(Utils::RegSetDword(key, L"Count", 7));
  ASSERT_TRUE(Utils::RegGetDword(key, L"Count", readNumber));
  EXPECT_EQ(readNumber, 7u);

  readText = L"unchanged";
  EXPECT_FALSE(Utils::RegGetString(key, L"Count", readText));   // a number, not a string
  EXPECT_FALSE(Utils::RegGetDword(key, L"InstallPath", readNumber));
  EXPECT_FALSE(Utils::RegGetString(key, L"Missing", readText));
  EXPECT_FALSE(Utils::RegGetString(key + L"\\NoSuchKey", L"InstallPath", readText));
  EXPECT_EQ(readText, L"unchanged");
}
