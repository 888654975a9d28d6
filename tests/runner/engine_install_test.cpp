// parlino-engine install, black box: the demo package from the package server, the
// records it leaves, the next run that finds them, and the exit code.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "runner/child_process.h"
#include "runner_test_support.h"
#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace {

struct EngineRun {
  uint32_t exitCode = 0;
  std::string output;
};

EngineRun RunEngine(const std::wstring& arguments) {
  EngineRun run;
  ChildProcess engine;
  // -insnew: a "Parlino.exe" of a test running beside this one must not refuse the run.
  engine.Launch(RunnerTest::Quoted(RunnerTest::Engine()) + L" install -isenableanalytics=false -insnew=true " +
                arguments);
  char block[4096];
  while (const size_t n = engine.ReadOutput(block, sizeof block)) {
    for (size_t i = 0; i < n; ++i) {
      if (block[i] != '\r') run.output += block[i];  // text-mode line ends on Windows
    }
  }
  engine.WaitDiscardingOutput();
  run.exitCode = engine.ExitCode();
  return run;
}

class EngineInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    m_Url = RunnerTest::PackageUrl(L"/software/", L"demo-package.exe");
    if (m_Url.empty()) GTEST_SKIP() << "the runner_packages server is not running";
  }
  std::wstring m_Url;
  TestSupport::TempDir m_Dir;
};

TEST_F(EngineInstall, InstallsTheDemoProductAndTheNextRunFindsIt) {
  const std::wstring dir = m_Dir.File(L"Parlino");
  const EngineRun first = RunEngine(L"-downloadurl=" + m_Url + L" --dir " + RunnerTest::Quoted(dir));
  ASSERT_EQ(first.exitCode, 0u) << first.output;
  EXPECT_NE(first.output.find("\n2003 0 \n"), std::string::npos) << first.output;
  EXPECT_TRUE(RunnerTest::Exists(Utils::JoinPath(dir, L"Parlino.exe")));
  EXPECT_FALSE(RunnerTest::Exists(Utils::JoinPath(dir, L"__Package_Parlino.exe")));
  EXPECT_NE(RunnerTest::ReadFile(Utils::JoinPath(dir, L"set.ini")).find("AppName=Parlino"), std::string::npos);

  // No directory given: the recorded installation is the default, its uninstaller runs
  // first (5002 ... 5003), then the new version is installed over it.
  const EngineRun second = RunEngine(L"-downloadurl=" + m_Url);
  ASSERT_EQ(second.exitCode, 0u) << second.output;
  EXPECT_NE(second.output.find("old installation: " + Utils::WideToUtf8(dir)), std::string::npos) << second.output;
  const size_t uninstalled = second.output.find("\n5003 ");
  ASSERT_NE(uninstalled, std::string::npos) << second.output;
  EXPECT_LT(uninstalled, second.output.find("\n1001 ")) << second.output;
  EXPECT_TRUE(RunnerTest::Exists(Utils::JoinPath(dir, L"Parlino.exe")));
}

TEST_F(EngineInstall, AutoStartupStartsTheProduct) {
  const std::wstring dir = m_Dir.File(L"Auto");
  const EngineRun run =
      RunEngine(L"-downloadurl=" + m_Url + L" -instcmd=-startupstyle=AutoStartup --dir " + RunnerTest::Quoted(dir));
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("\n3005 1 \n"), std::string::npos) << run.output;
  const std::wstring started = Utils::JoinPath(dir, L"started.txt");
  // The product runs on its own; give it time to write its mark.
  for (int i = 0; i < 100 && !RunnerTest::Exists(started); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(RunnerTest::Exists(started));
  // Later runs refuse to start while the product runs.
  for (int i = 0; i < 100 && Utils::FindProcessByName(L"Parlino.exe") != 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

TEST_F(EngineInstall, FailuresEndWithANonZeroExitCode) {
  const struct {
    const char* name;
    std::wstring arguments;
    std::string expected;
  } cases[] = {
      {"download fails twice", L"-downloadurl=" + RunnerTest::PackageUrl(L"/wrongmd5/", L"demo-package.exe") +
                                   L" --dir " + RunnerTest::Quoted(m_Dir.File(L"Bad")),
       "\n1004 "},
      {"directory cannot be made", L"-downloadurl=" + m_Url + L" --dir " +
                                       RunnerTest::Quoted(Utils::JoinPath(m_Dir.File(L"file.txt"), L"Parlino")),
       "无效路径"},
  };
  RunnerTest::WriteFile(m_Dir.File(L"file.txt"), "a file, not a folder");
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    const EngineRun run = RunEngine(row.arguments);
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_NE(run.output.find(row.expected), std::string::npos) << run.output;
  }
}

}  // namespace
