// The package console protocol as CInstaller::Parse turns one block into statuses.
#include <gtest/gtest.h>

#include "runner/installer.h"
#include "runner_test_support.h"

namespace {

using RunnerTest::Status;

struct ParseCase {
  const char* name;
  std::wstring block;
  std::vector<Status> statuses;
  int32_t result;
};

TEST(InstallerParse, TurnsEveryKeyIntoItsStatus) {
  const std::wstring longValue(800, L'x');
  const ParseCase cases[] = {
      {"progress and path, values untrimmed", L"Progress=42.5\r\nInstPath=D:\\P\r\n",
       {{2002, 42.5, L""}, {3000, 0.0, L"D:\\P\r"}}, 0},
      {"state success, trimmed", L"State=  Success \r\n", {{2003, 0.0, L""}}, 1},
      {"state success in lower case is ignored", L"State=success\n", {}, 0},
      {"state fail", L"State=Fail\n", {{2004, 0.0, L"安装包安装失败"}}, 1000},
      {"state with another value", L"State=Running\n", {}, 0},
      {"error", L"Error=磁盘已满\n", {{2004, 1000.0, L"磁盘已满"}}, 1000},
      {"success then error: both sent, the later decides", L"State=Success\nError=late\n",
       {{2003, 0.0, L""}, {2004, 1000.0, L"late"}}, 1000},
      {"error then success: the later decides", L"Error=early\nState=Success\n",
       {{2004, 1000.0, L"early"}, {2003, 0.0, L""}}, 1},
      {"exe path and start exe", L"ExePath=C:\\P\\Parlino.exe\nStartExe=C:\\P\\s.exe\n",
       {{3001, 0.0, L"C:\\P\\Parlino.exe"}, {3001, 0.0, L"C:\\P\\s.exe"}}, 0},
      {"both uninstaller keys and the entry", L"UninstExePath=C:\\P\\u.exe\nUninstExe=C:\\P\\v.exe\nUninstEp=C:\\P\\uninst.ep\n",
       {{3002, 0.0, L"C:\\P\\u.exe"}, {3002, 0.0, L"C:\\P\\v.exe"}, {3003, 0.0, L"C:\\P\\uninst.ep"}}, 0},
      {"detentions as unsigned numbers", L"TopShowDetention=-1\nFinsihCloseDetention=2500\n",
       {{3007, 4294967295.0, L""}, {3008, 2500.0, L""}}, 0},
      {"detention without a number", L"TopShowDetention=soon\n", {{3007, 0.0, L""}}, 0},
      {"start url and message", L"StartUrl=http://p/\nMessage=你好\n",
       {{3004, 0.0, L"http://p/"}, {3009, 0.0, L"你好"}}, 0},
      {"startup styles", L"StartupStyle=AutoStartup\r\nStartupStyle=UserStartup\nStartupStyle=NonStartup\nStartupStyle=Other\n",
       {{3005, 1.0, L""}, {3005, 2.0, L""}, {3005, 0.0, L""}, {3005, 0.0, L""}}, 0},
      {"progress without a number", L"Progress=abc\n", {{2002, 0.0, L""}}, 0},
      {"keys are exact prefixes", L"Progressbar=3\nprogress=0.5\n XState=Fail\n", {}, 0},
      {"a last line without a line feed", L"Progress=0.25", {{2002, 0.25, L""}}, 0},
      {"an empty text value", L"Message=\n", {{3009, 0.0, L""}}, 0},
      {"text values are cut at 771 characters", L"Message=" + longValue + L"\n",
       {{3009, 0.0, std::wstring(771, L'x')}}, 0},
      {"encode and version send nothing", L"Encode=UTF8\nInstallVersion=1.2.3\n", {}, 0},
  };
  for (const ParseCase& row : cases) {
    SCOPED_TRACE(row.name);
    RunnerTest::StatusLog log;
    CInstaller installer(log.Callback(), L"\"p.exe\"", L"", false, false, false);
    EXPECT_EQ(installer.Parse(row.block), row.result);
    EXPECT_EQ(log.All(), row.statuses) << RunnerTest::Describe(log.All());
  }
}

TEST(InstallerParse, EncodeSelectsTheCodePage) {
  const struct {
    const char* name;
    std::wstring value;
    int32_t codePage;
  } cases[] = {
      {"UTF8", L"UTF8", 65001}, {"UTF8 with blanks", L" UTF8\r", 65001}, {"ACP", L"ACP", 0},
      {"a number", L"936", 936},  {"not a number", L"abc", 0},          {"out of range", L"70000", 0},
      {"a number with junk", L"936x", 0}, {"leading zeros", L"000936", 936},
      {"too long for 32 bits", L"99999999999", 0},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    CInstaller installer(nullptr, L"\"p.exe\"", L"", false, false, false);
    installer.Parse(L"Encode=936\n");  // a different page before
    installer.Parse(L"Encode=" + row.value + L"\n");
    EXPECT_EQ(installer.CodePage(), row.codePage);
  }
}

TEST(InstallerParse, InstallVersionKeepsThePartsItCannotRead) {
  CInstaller installer(nullptr, L"\"p.exe\"", L"", false, false, false);
  installer.Parse(L"InstallVersion=1.7.9\n");
  EXPECT_EQ(installer.InstalledVersion().major, 1);
  EXPECT_EQ(installer.InstalledVersion().minor, 7);
  EXPECT_EQ(installer.InstalledVersion().patch, 9);
  installer.Parse(L"InstallVersion=2.x\n");
  EXPECT_EQ(installer.InstalledVersion().major, 2);
  EXPECT_EQ(installer.InstalledVersion().minor, 7);
  EXPECT_EQ(installer.InstalledVersion().patch, 9);
}

}  // namespace
