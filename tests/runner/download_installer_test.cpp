// CDownloadInstaller chains against a real nginx serving the test packages.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include "app/installer_config.h"
#include "download/status_codes.h"
#include "runner/child_process.h"
#include "runner/download_installer.h"
#include "runner_test_support.h"
#include "tests/support/test_support.h"
#include "utils/debug_log.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace {

using RunnerTest::Status;

class DownloadInstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_Url = RunnerTest::PackageUrl(L"/software/", L"test-package.exe");
    if (m_Url.empty()) GTEST_SKIP() << "the runner_packages server is not running";
    GetInstallerConfig().m_DownloadType = 1;
    GetInstallerConfig().m_IsInsNew = false;
  }
  void TearDown() override { GetInstallerConfig().m_IsInsNew = false; }

  // Waits for the attempt's end; the runner is destroyed by the caller for a full log.
  void WaitForEnd(RunnerTest::StatusLog& log) {
    ASSERT_TRUE(log.WaitFor({INSTALL_SUCCESS, IST_CODE_FAIL, DL_CODE_FAIL, UNIST_CODE_FAIL, UNIST_CODE_ERROR}))
        << RunnerTest::Describe(log.All());
  }
  std::wstring Package(const std::wstring& dir) const { return Utils::JoinPath(dir, L"__Package_Parlino.exe"); }
  // An old installation whose uninstaller is the test uninstaller with this script.
  std::wstring OldInstallation(const std::string& script) {
    const std::wstring oldDir = m_Dir.File(L"Old");
    Utils::CreateDirectoryTree(oldDir);
    RunnerTest::WriteFile(Utils::JoinPath(oldDir, L"uninstall_script.txt"), script);
    const std::wstring uninstaller = Utils::JoinPath(oldDir, L"uninst.ep");
    Utils::CopyFilePath(RunnerTest::TestUninstaller(), uninstaller);
    return uninstaller;
  }

  RunnerTest::NoSleep m_NoSleep;
  TestSupport::TempDir m_Dir;
  std::wstring m_Url;
};

TEST_F(DownloadInstallerTest, WithoutOldVersionDownloadsInstallsAndRemovesThePackage) {
  std::mutex traceLock;
  std::vector<std::wstring> trace;
  Utils::SetTraceSink([&](const std::wstring& line) {
    std::lock_guard<std::mutex> guard(traceLock);
    trace.push_back(line);
  });
  const std::wstring dir = m_Dir.File(L"Apps") + Utils::kPathSeparator + L"Parlino";
  const std::wstring args = m_Dir.File(L"args.txt");
  RunnerTest::PackageScript script(m_Dir.File(L"script.txt"),
                                   "argv " + Utils::WideToUtf8(args) + "\nout Progress=0.5\nout State=Success\n");
  RunnerTest::StatusLog log;
  {
    CDownloadInstaller runner(log.Callback(), m_Url, L"", dir, true, false, true);
    EXPECT_EQ(runner.GetPackagePath(), Package(dir));
    runner.Start();
    WaitForEnd(log);
  }
  Utils::SetTraceSink(nullptr);
  const std::vector<int32_t> codes = log.Codes();
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), DL_CODE_START);
  ASSERT_GE(log.IndexOf(DL_CODE_SUCCESS), 0) << RunnerTest::Describe(log.All());
  EXPECT_LT(log.IndexOf(DL_CODE_SUCCESS), log.IndexOf(IST_CODE_START));
  EXPECT_EQ(log.All().back(), (Status{INSTALL_SUCCESS, 0.0, L""}));
  EXPECT_TRUE(Utils::IsDirectory(dir));
  EXPECT_FALSE(RunnerTest::Exists(Package(dir)));
  EXPECT_EQ(CDownloadInstaller::LastPackagePath(), Package(dir));
  const std::string line = RunnerTest::ReadFile(args);
  EXPECT_NE(line.find("\n-dsc=true\n-ssc=false\n"), std::string::npos) << line;
  EXPECT_NE(line.find("\n-instdir=" + Utils::WideToUtf8(dir) + "\n"), std::string::npos) << line;

  // The handlers trace under the name of the function that defines them.
  bool sawType = false, sawStart = false;
  for (const std::wstring& l : trace) {
    sawType = sawType || (l.find(L"(CDownloadInstaller::Start)") != std::wstring::npos &&
                          l.find(L"DL_TYPE=1\r\n") != std::wstring::npos);
    sawStart = sawStart || (l.find(L"(CDownloadInstaller::Start::") != std::wstring::npos &&
                            l.find(L"DL_CODE_START\r\n") != std::wstring::npos);
  }
  EXPECT_TRUE(sawType);
  EXPECT_TRUE(sawStart);
}

TEST_F(DownloadInstallerTest, OldVersionIsUninstalledFromTheTemporaryCopyBeforeTheDownload) {
  const std::wstring args = m_Dir.File(L"uninstall-args.txt");
  const std::wstring oldUninstaller =
      OldInstallation("args " + Utils::WideToUtf8(args) + "\nout Progress=50\nout State=Success\n");
  RunnerTest::PackageScript script(m_Dir.File(L"script.txt"), "out State=Success\n");
  const std::wstring dir = m_Dir.File(L"New");
  RunnerTest::StatusLog log;
  {
    CDownloadInstaller runner(log.Callback(), L"", L"", L"", false, false, false);
    runner.SetParams(m_Url, m_Dir.File(L"Old"), oldUninstaller, dir, true, true, true, true, L"");
    EXPECT_EQ(runner.GetUninstallerDir(), m_Dir.File(L"Old"));
    runner.Start();
    WaitForEnd(log);
  }
  const std::vector<int32_t> codes = log.Codes();
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), UNIST_CODE_PROGRESS);
  ASSERT_GE(log.IndexOf(UNIST_CODE_SUCCESS), 0) << RunnerTest::Describe(log.All());
  EXPECT_LT(log.IndexOf(UNIST_CODE_SUCCESS), log.IndexOf(DL_CODE_START));
  EXPECT_EQ(log.All().back().code, INSTALL_SUCCESS) << RunnerTest::Describe(log.All());
  const std::string line = RunnerTest::ReadFile(args);
  EXPECT_NE(line.find("Parlino_un_asa.exe"), std::string::npos) << line;
  const std::string tail = "_?=" + Utils::WideToUtf8(m_Dir.File(L"Old"));
  ASSERT_GE(line.size(), tail.size());
  EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
}

TEST_F(DownloadInstallerTest, FailedUninstallStartsNothingMore) {
  const std::wstring oldUninstaller = OldInstallation("out State=Fail\n");
  RunnerTest::StatusLog log;
  {
    CDownloadInstaller runner(log.Callback(), m_Url, oldUninstaller, m_Dir.File(L"New"), true, true, true);
    runner.Start();
    WaitForEnd(log);
  }
  const std::vector<Status> expected = {{5002, 0.0, L""}, {5005, 0.0, L"安装包卸载失败"}};
  EXPECT_EQ(log.All(), expected) << RunnerTest::Describe(log.All());
}

TEST_F(DownloadInstallerTest, WaitsForTheRunningProductBeforeUninstalling) {
  // A "Parlino.exe" that runs for a while.
  const std::wstring product = m_Dir.File(L"Parlino.exe");
  Utils::CopyFilePath(RunnerTest::TestPackage(), product);
  RunnerTest::WriteFile(m_Dir.File(L"product.txt"), "sleep 700\n");
  ChildProcess running;
  running.Launch(RunnerTest::Quoted(product) + L" -script=" + RunnerTest::Quoted(m_Dir.File(L"product.txt")));
  ASSERT_NE(Utils::FindProcessByName(L"Parlino.exe"), 0u);
  // Reaped as soon as it ends, so that it is not found any more.
  std::thread reaper([&running] { running.WaitDiscardingOutput(); });

  GetInstallerConfig().m_IsInsNew = true;
  const std::wstring oldUninstaller = OldInstallation("out State=Fail\n");
  RunnerTest::StatusLog log;
  {
    CDownloadInstaller runner(log.Callback(), m_Url, oldUninstaller, m_Dir.File(L"New"), true, true, true);
    runner.Start();
    EXPECT_EQ(Utils::FindProcessByName(L"Parlino.exe"), 0u) << "Start returned while the product ran";
    EXPECT_GT(m_NoSleep.Count(CDownloadInstaller::kProductWaitSleepMs), 0u);
    WaitForEnd(log);
  }
  reaper.join();
}

TEST_F(DownloadInstallerTest, RetryRunsTheDownloaderAgainAndAFailureRemovesThePackage) {
  const std::wstring dir = m_Dir.File(L"Retry");
  RunnerTest::StatusLog log;
  {
    CDownloadInstaller runner(log.Callback(), RunnerTest::PackageUrl(L"/wrongmd5/", L"test-package.exe"), L"", dir,
                              true, true, true);
    runner.Start();
    WaitForEnd(log);
  }
  const std::vector<int32_t> codes = log.Codes();
  EXPECT_EQ(log.Count(DL_CODE_RETRY), 1u) << RunnerTest::Describe(log.All());
  EXPECT_EQ(log.Count(DL_CODE_START), 2u);
  // The owner sees the retry before the new run's start.
  const int retry = log.IndexOf(DL_CODE_RETRY);
  ASSERT_GE(retry, 0);
  EXPECT_EQ(std::count(codes.begin() + retry, codes.end(), DL_CODE_START), 1);
  EXPECT_EQ(codes.back(), DL_CODE_FAIL);
  EXPECT_EQ(log.IndexOf(IST_CODE_START), -1);
  EXPECT_FALSE(RunnerTest::Exists(Package(dir)));
  EXPECT_EQ(CDownloadInstaller::LastPackagePath(), Package(dir));
}

TEST_F(DownloadInstallerTest, SecondAttemptReusesTheFirstAttemptsPackagePath) {
  const std::wstring first = m_Dir.File(L"First");
  const std::wstring second = m_Dir.File(L"Second");
  const std::wstring args = m_Dir.File(L"args.txt");
  const std::wstring argv = m_Dir.File(L"argv.txt");
  RunnerTest::StatusLog log;
  CDownloadInstaller runner(log.Callback(), m_Url, L"", first, true, true, true);
  {
    RunnerTest::PackageScript script(m_Dir.File(L"fail.txt"), "out State=Fail\n");
    runner.Start();
    WaitForEnd(log);
    // The cleanup runs after the status reached us; it ends by recording the path.
    while (CDownloadInstaller::LastPackagePath() != Package(first)) std::this_thread::yield();
  }
  EXPECT_EQ(log.All().back(), (Status{IST_CODE_FAIL, 0.0, L"安装包安装失败"}));
  EXPECT_FALSE(RunnerTest::Exists(Package(first)));

  RunnerTest::PackageScript script(m_Dir.File(L"ok.txt"), "args " + Utils::WideToUtf8(args) + "\nargv " +
                                                             Utils::WideToUtf8(argv) + "\nout State=Success\n");
  runner.SetParams(m_Url, L"", L"", second, true, true, true, true, L"");
  runner.Start();
  ASSERT_TRUE(log.WaitFor({INSTALL_SUCCESS}));
  while (CDownloadInstaller::LastPackagePath() != Package(second)) std::this_thread::yield();
  // Downloaded to and run from the first path, installed into the second directory.
  const std::string line = RunnerTest::ReadFile(args);
  EXPECT_NE(line.find(Utils::WideToUtf8(Package(first))), std::string::npos) << line;
  EXPECT_NE(RunnerTest::ReadFile(argv).find("\n-instdir=" + Utils::WideToUtf8(second) + "\n"), std::string::npos);
  // The second cleanup removed the first path's package, as the earlier package.
  EXPECT_FALSE(RunnerTest::Exists(Package(first)));
  EXPECT_FALSE(RunnerTest::Exists(Package(second)));
}

TEST_F(DownloadInstallerTest, APackageStillRunningWhenTheNextAttemptStartsIsRemovedByItsOwnPath) {
  // The first package keeps working after its failure line; meanwhile a second attempt
  // into another directory fixes a new package path (and stops at its old uninstaller).
  const std::wstring first = m_Dir.File(L"First");
  const std::wstring second = m_Dir.File(L"Second");
  RunnerTest::StatusLog log;
  CDownloadInstaller runner(log.Callback(), m_Url, L"", first, true, true, true);
  RunnerTest::PackageScript script(m_Dir.File(L"slow-fail.txt"), "out State=Fail\nsleep 1500\n");
  runner.Start();
  ASSERT_TRUE(log.WaitFor({IST_CODE_FAIL})) << RunnerTest::Describe(log.All());
  runner.SetParams(m_Url, L"", OldInstallation("out State=Fail\n"), second, true, true, true, true, L"");
  runner.Start();
  ASSERT_TRUE(log.WaitFor({UNIST_CODE_ERROR})) << RunnerTest::Describe(log.All());
  // The first package's cleanup ends by recording the path it removed.
  while (CDownloadInstaller::LastPackagePath() != Package(first) &&
         CDownloadInstaller::LastPackagePath() != Package(second)) {
    std::this_thread::yield();
  }
  EXPECT_EQ(CDownloadInstaller::LastPackagePath(), Package(first));
  EXPECT_FALSE(RunnerTest::Exists(Package(first)));
}

}  // namespace
