#include <gtest/gtest.h>

#include <cwctype>

#ifdef _WIN32
#include <objbase.h>
#endif

#include "tests/support/test_support.h"
#include "tests/utils/trace_capture.h"
#include "utils/os.h"
#include "utils/probes.h"

namespace {
constexpr size_t kMaxPathChars = 260;
}  // namespace

TEST(Probes, WindowsVersionNames) {
  struct Row {
    uint32_t major, minor, build;
    bool r2;
    const wchar_t* expected;
  };
  const Row rows[] = {
      {0, 0, 0, false, L"XP-"},        {4, 10, 1998, false, L"XP-"},   {5, 0, 2195, false, L"2K"},
      {5, 1, 2600, false, L"XP"},      {5, 2, 3790, true, L"Server 2003 R2"},
      {5, 2, 3790, false, L"Server 2003"}, {5, 3, 0, false, L"XP+"},  {6, 0, 6002, false, L"Vista"},
      {6, 1, 7601, false, L"7"},       {6, 2, 9200, false, L"8"},      {6, 3, 9600, false, L"8.1"},
      {6, 4, 0, false, L"8.1+"},       {10, 0, 22000, false, L"10"},   {10, 1, 0, false, L"10+"},
      {12, 1, 5, false, L"12.1.5"},    {7, 0, 0x1234ABCD, false, L"7.0.43981"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.major << "." << row.minor << "." << row.build);
    EXPECT_EQ(Utils::WindowsVersionName(row.major, row.minor, row.build, row.r2), row.expected);
  }
}

TEST(Probes, RunningSystemNameNeverFailsToXp) {
  std::wstring family, version;
  Utils::GetWindowsVersionName(family, version);
  EXPECT_EQ(family, L"Windows");
  EXPECT_FALSE(version.empty());
  EXPECT_EQ(version.find(L"XP"), std::wstring::npos);  // the test machines are not XP
  EXPECT_TRUE(Utils::IsSystem64Bit());                  // nor 32-bit systems
}

TEST(Probes, NetworkVerdict) {
  struct Row {
    const char* name;
    uint32_t connectivity;
    bool internet;
    uint32_t expected;
  };
  const Row rows[] = {
      {"internet", 0x40, true, 0x40},
      {"connected without internet", 0x20, false, 0x20000 | 0x20},
      {"no connectivity", 0, false, 0x10000},
      {"no connectivity whatever the answer", 0, true, 0x10000},
      {"flags keep only the low half", 0x12345, false, 0x20000 | 0x2345},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utils::NetworkVerdict(row.connectivity, row.internet), row.expected);
  }
}

TEST(Probes, CheckNetworkAnswersAVerdict) {
#ifdef _WIN32
  // The network list manager is a COM object: without COM the probe could only fail.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
#endif
  TraceCapture capture;
  const uint32_t result = Utils::CheckNetwork();
#ifdef _WIN32
  if (SUCCEEDED(com)) CoUninitialize();
#endif
  EXPECT_NE(result, 0u);  // 0 in both halves: the system could not be asked
  const uint32_t verdict = result >> 16, flags = result & 0xFFFF;
  EXPECT_LE(verdict, 2u);
  if (verdict == 1) {
    EXPECT_EQ(flags, 0u);
    EXPECT_EQ(capture.Matching(L"(Utils::CheckNetwork)").size(), 1u);
  }
  if (verdict == 2) {
    EXPECT_NE(flags, 0u);
    EXPECT_EQ(capture.Matching(L"get_IsConnectedToInternet:0").size(), 1u);
  }
}

TEST(Probes, GuidText) {
  const Utils::Guid guid{0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
  EXPECT_EQ(Utils::GuidText(guid), L"0123456789ABcdef0123456789ABCDEF");
  const Utils::Guid zero{};
  EXPECT_EQ(Utils::GuidText(zero), std::wstring(32, L'0'));
}

TEST(Probes, NewGuidTextsAreFreshHexTexts) {
  const std::wstring a = Utils::NewGuidText(), b = Utils::NewGuidText();
  EXPECT_NE(a, b);
  for (const std::wstring& text : {a, b}) {
    ASSERT_EQ(text.size(), 32u);
    for (size_t i = 0; i < text.size(); ++i) {
      const wchar_t c = text[i];
      const bool lowerGroup = i >= 12 && i < 16;
      EXPECT_TRUE(std::iswdigit(c) || (lowerGroup ? (c >= L'a' && c <= L'f') : (c >= L'A' && c <= L'F'))) << i;
    }
  }
}

TEST(Probes, CreateDirectoryTreeCreatesEveryLevel) {
  TestSupport::TempDir temp;
  const std::wstring a = Utils::JoinPath(temp.Path(), L"A");
  const std::wstring c = Utils::JoinPath(Utils::JoinPath(a, L"B"), L"C");
  EXPECT_TRUE(Utils::CreateDirectoryTree(c));
  EXPECT_TRUE(Utils::IsDirectory(c));
  EXPECT_TRUE(Utils::CreateDirectoryTree(c));  // already there
  const std::wstring trailing = Utils::JoinPath(c, L"D") + Utils::kPathSeparator;
  EXPECT_TRUE(Utils::CreateDirectoryTree(trailing));
  EXPECT_TRUE(Utils::IsDirectory(Utils::JoinPath(c, L"D")));
}

TEST(Probes, CreateDirectoryTreeFailures) {
  TestSupport::TempDir temp;
  const std::wstring first = Utils::JoinPath(temp.Path(), L"first");
  std::wstring tooLong = Utils::JoinPath(first, L"x");
  while (tooLong.size() < kMaxPathChars + 1) tooLong = Utils::JoinPath(tooLong, L"x");
  tooLong.resize(kMaxPathChars + 1, L'y');
  ASSERT_EQ(tooLong.size(), 261u);
  EXPECT_FALSE(Utils::CreateDirectoryTree(tooLong));
  EXPECT_FALSE(Utils::PathExists(first));  // nothing created

  const std::wstring file = temp.File(L"file");
  ASSERT_TRUE(Utils::WriteWholeFile(file, "x"));
  EXPECT_FALSE(Utils::CreateDirectoryTree(file));
  EXPECT_FALSE(Utils::CreateDirectoryTree(Utils::JoinPath(file, L"sub")));
  EXPECT_FALSE(Utils::CreateDirectoryTree(L""));
}

TEST(Probes, FindProcessByNameIsExactAndCaseSensitive) {
  const std::wstring self = Utils::FileNamePart(Utils::GetModulePath());
  ASSERT_FALSE(self.empty());
  EXPECT_NE(Utils::FindProcessByName(self), 0u) << std::string(self.begin(), self.end());
  std::wstring upper = self;
  for (auto& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  ASSERT_NE(upper, self);
  EXPECT_EQ(Utils::FindProcessByName(upper), 0u);
  EXPECT_EQ(Utils::FindProcessByName(self.substr(0, self.size() - 1)), 0u);
  EXPECT_EQ(Utils::FindProcessByName(L"no-such-process-7f3a.exe"), 0u);
  EXPECT_EQ(Utils::FindProcessByName(L""), 0u);
}

TEST(Probes, InstallerTempDir) {
  const std::wstring dir = Utils::GetInstallerTempDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), Utils::kPathSeparator);
  EXPECT_NE(dir.find(L"~VexloTemp.92482B06FB471E17"), std::wstring::npos);
  EXPECT_TRUE(Utils::IsDirectory(dir));
  EXPECT_EQ(Utils::GetInstallerTempDir(), dir);
}

TEST(Probes, FreeSpace) {
  TestSupport::TempDir temp;
  Utils::HardDiskManager disk;
  ASSERT_TRUE(disk.CheckFreeSpace(temp.Path()));
  EXPECT_GT(disk.m_TotalBytes, 0u);
  EXPECT_LE(disk.m_TotalFreeBytes, disk.m_TotalBytes);
  EXPECT_LE(disk.m_FreeBytesAvailable, disk.m_TotalFreeBytes);

  TraceCapture capture;
  Utils::HardDiskManager missing;
  EXPECT_FALSE(missing.CheckFreeSpace(temp.File(L"no-such-folder")));
  const auto lines = capture.Matching(L"(Utils::HardDiskManager::CheckFreeSpace)");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(L"HardDiskManager::CheckFreeSpace FAIL code="), std::wstring::npos);
  EXPECT_NE(lines[0].find(L"\r\n\r\n"), std::wstring::npos);
}

TEST(Probes, AdministratorQueries) {
  std::wstring user;
  ASSERT_TRUE(Utils::GetConsoleUserName(user));
  EXPECT_FALSE(user.empty());
  EXPECT_EQ(Utils::IsAdminAccount(), Utils::IsUserAdminAccount(user));
  EXPECT_FALSE(Utils::IsUserAdminAccount(L"no-such-user-7f3a"));
  EXPECT_FALSE(Utils::IsUserAdminAccount(L""));
  Utils::IsProcessAdmin();  // answers without failing; the answer depends on the machine
}
