// CUnInstaller: its output subset, and real runs of the test uninstaller.
#include <gtest/gtest.h>

#include "runner/uninstaller.h"
#include "runner_test_support.h"
#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace {

using RunnerTest::Status;

TEST(UninstallerParse, KnowsOnlyItsFourKeys) {
  const struct {
    const char* name;
    std::wstring block;
    std::vector<Status> statuses;
    int32_t result;
  } cases[] = {
      {"progress", L"Progress=50\r\nProgress=x\n", {{5002, 50.0, L""}, {5002, 0.0, L""}}, 0},
      {"state success, trimmed", L"State= Success\r\n", {{5003, 0.0, L""}}, 1},
      {"state fail", L"State=Fail\n", {{5005, 0.0, L"安装包卸载失败"}}, 1000},
      {"error", L"Error=被占用\r\n", {{5005, 0.0, L"被占用\r"}}, 1000},
      {"install keys are unknown here", L"InstPath=C:\\P\nMessage=hi\nExePath=x\n", {}, 0},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    RunnerTest::StatusLog log;
    CUnInstaller uninstaller(log.Callback(), L"u.exe", L"C:\\Old");
    EXPECT_EQ(uninstaller.Parse(row.block), row.result);
    EXPECT_EQ(log.All(), row.statuses) << RunnerTest::Describe(log.All());
  }
}

TEST(UninstallerParse, EncodeKnowsOnlyUtf8) {
  const struct {
    std::wstring value;
    int32_t codePage;
  } cases[] = {{L"UTF8", 65001}, {L" UTF8 ", 65001}, {L"ACP", 0}, {L"936", 0}, {L"utf8", 0}};
  for (const auto& row : cases) {
    SCOPED_TRACE(Utils::WideToUtf8(row.value));
    CUnInstaller uninstaller(nullptr, L"u.exe", L"C:\\Old");
    uninstaller.Parse(L"Encode=UTF8\n");
    uninstaller.Parse(L"Encode=" + row.value + L"\n");
    EXPECT_EQ(uninstaller.CodePage(), row.codePage);
  }
}

class UninstallerRun : public ::testing::Test {
 protected:
  // Copies the test uninstaller as the orchestration does and runs it against an old
  // installation directory that holds its script.
  std::vector<Status> Run(const std::string& script) { return Run(script, m_Log); }
  std::vector<Status> Run(const std::string& script, RunnerTest::StatusLog& log) {
    const std::wstring oldDir = m_Dir.File(L"Old Parlino");
    Utils::CreateDirectoryTree(oldDir);
    RunnerTest::WriteFile(Utils::JoinPath(oldDir, L"uninstall_script.txt"), script);
    const std::wstring copy = m_Dir.File(L"Parlino_un_asa.exe");
    Utils::CopyFilePath(RunnerTest::TestUninstaller(), copy);
    {
      CUnInstaller uninstaller(log.Callback(), copy, oldDir);
      uninstaller.Start();
      EXPECT_TRUE(log.WaitFor({UNIST_CODE_SUCCESS, UNIST_CODE_FAIL, UNIST_CODE_ERROR}));
    }  // joins: every status is in
    return log.All();
  }

  RunnerTest::NoSleep m_NoSleep;
  TestSupport::TempDir m_Dir;
  RunnerTest::StatusLog m_Log;
};

TEST_F(UninstallerRun, ProgressThenSuccessAndNothingMore) {
  const std::vector<Status> expected = {{5002, 0.0, L""}, {5002, 50.0, L""}, {5003, 0.0, L""}};
  EXPECT_EQ(Run("out Progress=50\nsleep 50\nout State=Success\nflood-out 500000\nout Error=late\n"), expected)
      << RunnerTest::Describe(m_Log.All());
}

TEST_F(UninstallerRun, EndsWithTheRightStatus) {
  const struct {
    const char* name;
    std::string script;
    Status last;
  } cases[] = {
      {"no output", "", {5003, 1.0, L""}},
      {"failure line", "out State=Fail\n", {5005, 0.0, L"安装包卸载失败"}},
      {"error line, then more output", "out Error=busy\nflood-out 300000\nflood-err 300000\n", {5005, 0.0, L"busy\r"}},
      {"crash", "flood-err 100000\ncrash\n", {5005, 3.0, L"卸载程序异常退出"}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    RunnerTest::StatusLog log;
    const std::vector<Status> all = Run(row.script, log);
    ASSERT_GE(all.size(), 2u) << RunnerTest::Describe(all);
    EXPECT_EQ(all.front(), (Status{5002, 0.0, L""}));
    EXPECT_EQ(all.back(), row.last) << RunnerTest::Describe(all);
  }
}

TEST_F(UninstallerRun, MissingCopyIsReportedAlone) {
  RunnerTest::StatusLog log;
  {
    CUnInstaller uninstaller(log.Callback(), m_Dir.File(L"gone.exe"), m_Dir.Path());
    uninstaller.Start();
  }
  const std::vector<Status> expected = {{5004, 1.0, L"可执行卸载文件不存在"}};
  EXPECT_EQ(log.All(), expected) << RunnerTest::Describe(log.All());
}

TEST_F(UninstallerRun, TheDirectoryReachesTheUninstallerLast) {
  const std::wstring args = m_Dir.File(L"args.txt");
  Run("args " + Utils::WideToUtf8(args) + "\n");
  const std::string line = RunnerTest::ReadFile(args);
  const std::string tail = " -console=show _?=" + Utils::WideToUtf8(m_Dir.File(L"Old Parlino"));
  ASSERT_GE(line.size(), tail.size()) << line;
  EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
}

}  // namespace
