// CInstaller with real child processes: the test package runs a script.
#include <gtest/gtest.h>

#include "app/installer_config.h"
#include "runner/installer.h"
#include "runner_test_support.h"
#include "tests/support/test_support.h"
#include "utils/text.h"

namespace {

using RunnerTest::Status;

class InstallerRun : public ::testing::Test {
 protected:
  // Runs the test package with the script to its final status.
  std::vector<Status> RunScript(const std::string& script, const std::wstring& installDir = L"") {
    RunnerTest::PackageScript pass(m_Dir.File(L"script.txt"), script);
    CInstaller installer(m_Log.Callback(), RunnerTest::Quoted(RunnerTest::TestPackage()), installDir, true, true, true);
    installer.Start();
    EXPECT_TRUE(m_Log.WaitFor({INSTALL_SUCCESS, IST_CODE_FAIL})) << "no final status";
    return m_Log.All();
  }

  RunnerTest::NoSleep m_NoSleep;
  TestSupport::TempDir m_Dir;
  RunnerTest::StatusLog m_Log;
};

TEST_F(InstallerRun, PackageWithoutOutputSucceedsSilently) {
  {
    RunnerTest::PackageScript pass(m_Dir.File(L"script.txt"), "exit 0\n");
    CInstaller installer(m_Log.Callback(), RunnerTest::Quoted(RunnerTest::TestPackage()), L"", true, true, true);
    installer.Start();
    ASSERT_TRUE(m_Log.WaitFor({INSTALL_SUCCESS, IST_CODE_FAIL}));
  }
  const std::vector<Status> expected = {{2001, 0.0, L""}, {2002, 0.0, L""}, {2003, 1.0, L""}};
  EXPECT_EQ(m_Log.All(), expected) << RunnerTest::Describe(m_Log.All());
}

TEST_F(InstallerRun, EndsWithTheRightStatus) {
  const struct {
    const char* name;
    std::string script;
    Status last;
  } cases[] = {
      {"final line", "out Progress=0.5\nout State=Success\n", {2003, 0.0, L""}},
      {"failure line", "out State=Fail\nexit 0\n", {2004, 0.0, L"安装包安装失败"}},
      {"error line", "out Error=disk full\n", {2004, 1000.0, L"disk full\r"}},
      // The exit code is not used: a package may end without the protocol.
      {"no final line, exit code 7", "out Progress=0.5\nexit 7\n", {2003, 1.0, L""}},
      {"crash without a final line", "out Progress=0.5\ncrash\n", {2004, 3.0, L"安装包异常退出"}},
      {"crash after a final line", "out State=Success\ncrash\n", {2003, 0.0, L""}},
      // Written in a second block right before the end: still read.
      {"final line just before the end", "out Progress=0.5\nsleep 100\nout State=Fail\nexit 1\n",
       {2004, 0.0, L"安装包安装失败"}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    RunnerTest::StatusLog log;
    {
      RunnerTest::PackageScript pass(m_Dir.File(L"script.txt"), row.script);
      CInstaller installer(log.Callback(), RunnerTest::Quoted(RunnerTest::TestPackage()), L"", true, true, true);
      installer.Start();
      ASSERT_TRUE(log.WaitFor({INSTALL_SUCCESS, IST_CODE_FAIL}));
    }
    const std::vector<Status> all = log.All();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back(), row.last) << RunnerTest::Describe(all);
    EXPECT_EQ(log.Count(INSTALL_SUCCESS) + log.Count(IST_CODE_FAIL), 1u) << RunnerTest::Describe(all);
  }
}

TEST_F(InstallerRun, NothingAfterAFinalLineAndTheWritingPackageIsNotBlocked) {
  const std::wstring marker = m_Dir.File(L"finished.txt");
  const std::string script = "out State=Success\nflood-out 600000\nout Error=too late\nflood-err 600000\nargs " +
                             Utils::WideToUtf8(marker) + "\n";
  {
    RunnerTest::PackageScript pass(m_Dir.File(L"script.txt"), script);
    CInstaller installer(m_Log.Callback(), RunnerTest::Quoted(RunnerTest::TestPackage()), L"", true, true, true);
    installer.Start();
    ASSERT_TRUE(m_Log.WaitFor({INSTALL_SUCCESS}));
  }  // joins the worker, which waits for the package to end
  EXPECT_TRUE(RunnerTest::Exists(marker)) << "the package did not get past its floods";
  const std::vector<Status> expected = {{2001, 0.0, L""}, {2002, 0.0, L""}, {2003, 0.0, L""}};
  EXPECT_EQ(m_Log.All(), expected) << RunnerTest::Describe(m_Log.All());
}

TEST_F(InstallerRun, FloodsOnBothStreamsBeforeTheFinalLineDoNotDeadlock) {
  // The pause lets the reader empty the pipe, so that the protocol lines do not straddle
  // two blocks.
  const std::string script =
      "flood-err 1000000\nflood-out 1000000\nsleep 300\nout Progress=0.9\nflood-err 300000\nout State=Success\n";
  {
    RunnerTest::PackageScript pass(m_Dir.File(L"script.txt"), script);
    CInstaller installer(m_Log.Callback(), RunnerTest::Quoted(RunnerTest::TestPackage()), L"", true, true, true);
    installer.Start();
    ASSERT_TRUE(m_Log.WaitFor({INSTALL_SUCCESS, IST_CODE_FAIL}));
  }
  EXPECT_EQ(m_Log.All().back(), (Status{2003, 0.0, L""})) << RunnerTest::Describe(m_Log.All());
  EXPECT_EQ(m_Log.Count(IST_CODE_PROGRESS), 2u);  // 0.0 at launch, then 0.9
  // One exit-check sleep per block read.
  EXPECT_GE(m_NoSleep.Count(CInstaller::kExitCheckSleepMs), 1000000u / 1024);
}

TEST_F(InstallerRun, AnHeirWritingToStandardErrorDoesNotHideThePackagesEnd) {
  // The heir keeps both pipes open and writes to standard error until nobody reads it;
  // the package itself ends at once.
  const std::wstring heir = m_Dir.File(L"heir.txt");
  RunnerTest::WriteFile(heir, "flood-err 1000000000000\n");
  const std::vector<Status> all = RunScript("heir " + Utils::WideToUtf8(heir) + "\nout Progress=0.5\n");
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.back(), (Status{2003, 1.0, L""})) << RunnerTest::Describe(all);
}

TEST_F(InstallerRun, EncodeAppliesFromTheNextBlock) {
  // "中" in code page 936 is D6 D0; in the first block it is still decoded with the
  // ANSI code page.
  const std::string script = "raw Encode=936\\r\\nMessage=\\xD6\\xD0\\r\\n\nsleep 300\nraw Message=\\xD6\\xD0\\r\\n\n";
  {
    RunnerTest::PackageScript pass(m_Dir.File(L"script.txt"), script);
    CInstaller installer(m_Log.Callback(), RunnerTest::Quoted(RunnerTest::TestPackage()), L"", true, true, true);
    installer.Start();
    ASSERT_TRUE(m_Log.WaitFor({INSTALL_SUCCESS}));
  }
  std::vector<std::wstring> messages;
  for (const Status& s : m_Log.All()) {
    if (s.code == IST_INFO_MESSAGE) messages.push_back(s.text);
  }
  ASSERT_EQ(messages.size(), 2u) << RunnerTest::Describe(m_Log.All());
  EXPECT_EQ(messages[0], Utils::MultiByteToWide("\xD6\xD0\r", Utils::kCodePageAnsi));
  EXPECT_EQ(messages[1], L"中\r");
}

TEST_F(InstallerRun, LaunchFailuresAndTheCommandLineLimit) {
  const std::wstring missing = m_Dir.File(L"no-such-package.exe");
  // The package path, its switches and "-script=..." come first; InstCmd pads to the length.
  const auto lineWithLength = [&](size_t length) {
    CInstaller probe(nullptr, RunnerTest::Quoted(RunnerTest::TestPackage()), L"", true, true, true);
    GetInstallerConfig().m_InstCmd = L"-pad=";
    const size_t base = probe.BuildCommandLine().size();
    GetInstallerConfig().m_InstCmd = L"-pad=" + std::wstring(length - base, L'x');
  };
  const struct {
    const char* name;
    std::wstring package;
    size_t length;  // 0: no padding
    Status last;
  } cases[] = {
      {"missing package", RunnerTest::Quoted(missing), 0, {2004, 2.0, L""}},
      {"1023 characters", RunnerTest::Quoted(RunnerTest::TestPackage()), 1023, {2003, 1.0, L""}},
      {"1024 characters", RunnerTest::Quoted(RunnerTest::TestPackage()), 1024, {2004, 2.0, L""}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    if (row.length > 0) lineWithLength(row.length);
    RunnerTest::StatusLog log;
    {
      CInstaller installer(log.Callback(), row.package, L"", true, true, true);
      installer.Start();
      ASSERT_TRUE(log.WaitFor({INSTALL_SUCCESS, IST_CODE_FAIL}));
    }
    GetInstallerConfig().m_InstCmd.clear();
    const std::vector<Status> expected = {{2001, 0.0, L""}, {2002, 0.0, L""}, row.last};
    EXPECT_EQ(log.All(), expected) << RunnerTest::Describe(log.All());
  }
}

TEST_F(InstallerRun, DestroyingTheRunnerEndsAHangingPackageSilently) {
  {
    RunnerTest::PackageScript pass(m_Dir.File(L"script.txt"), "out Progress=0.1\nhang\n");
    CInstaller installer(m_Log.Callback(), RunnerTest::Quoted(RunnerTest::TestPackage()), L"", true, true, true);
    installer.Start();
    // Wait until the package is surely running and has spoken.
    ASSERT_TRUE(m_Log.WaitFor({IST_CODE_PROGRESS}, 2));
  }
  EXPECT_EQ(m_Log.Count(INSTALL_SUCCESS), 0u);
  EXPECT_EQ(m_Log.Count(IST_CODE_FAIL), 0u);
}

TEST_F(InstallerRun, ARunnerStartedAgainStillEndsItsPackageWhenDestroyed) {
  // The first run ends with a final line; the second package is still working when the
  // runner goes, and must be ended rather than waited for.
  const std::wstring marker = m_Dir.File(L"second-finished.txt");
  {
    CInstaller installer(m_Log.Callback(), RunnerTest::Quoted(RunnerTest::TestPackage()), L"", true, true, true);
    {
      RunnerTest::PackageScript pass(m_Dir.File(L"first.txt"), "out State=Fail\n");
      installer.Start();
      ASSERT_TRUE(m_Log.WaitFor({IST_CODE_FAIL}));
    }
    RunnerTest::PackageScript pass(m_Dir.File(L"second.txt"),
                                   "out Progress=0.1\nsleep 2000\nargs " + Utils::WideToUtf8(marker) + "\n");
    installer.Start();
    ASSERT_TRUE(m_Log.WaitFor({IST_CODE_PROGRESS}, 3));  // 0.0 of each run, then 0.1
  }
  EXPECT_FALSE(RunnerTest::Exists(marker)) << "the second package was waited for";
  EXPECT_EQ(m_Log.Count(INSTALL_SUCCESS), 0u) << RunnerTest::Describe(m_Log.All());
  EXPECT_EQ(m_Log.Count(IST_CODE_FAIL), 1u) << RunnerTest::Describe(m_Log.All());
}

TEST_F(InstallerRun, PackageGetsTheInstallDirectory) {
  const std::wstring args = m_Dir.File(L"args.txt");
  const std::wstring dir = m_Dir.File(L"Program Files") + L"/Parlino";
  RunScript("args " + Utils::WideToUtf8(args) + "\n", dir);
  const std::string line = RunnerTest::ReadFile(args);
  EXPECT_NE(line.find(" /S -console=show -version=1.0.0 -adminact=true"), std::string::npos) << line;
  EXPECT_NE(line.find("/D=" + Utils::WideToUtf8(dir)), std::string::npos) << line;
}

}  // namespace
