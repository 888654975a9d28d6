#include "download/win_downloader.h"

#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "download/md5.h"
#include "tests/download/download_test_support.h"
#include "tests/support/test_support.h"
#include "utils/os.h"

namespace {
using namespace DownloadTest;

TEST(CWinDownloader, RequestUrlEncodesUtf8BytesButKeepsSeparatorsAndFileUrls) {
  struct Row {
    const wchar_t* url;
    const wchar_t* expected;
  } const rows[] = {
      {L"http://h:80/a/my file.exe?x=1&y=2", L"http://h:80/a/my+file.exe?x=1&y=2"},
      {L"http://h/安装.exe", L"http://h/%E5%AE%89%E8%A3%85.exe"},
      {L"file:///C:/my dir/安装.exe", L"file:///C:/my dir/安装.exe"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.url)));
    EXPECT_EQ(CWinDownloader::RequestUrl(row.url), row.expected);
  }
}

TEST(CWinDownloader, DownloadsWithTheSystemService) {
  for (int64_t size : {int64_t(1048576), int64_t(15000000), int64_t(30000001)}) {
    SCOPED_TRACE(size);
    TestSupport::TempDir dir;
    const std::wstring target = dir.File(L"p.exe");
    StatusLog log;
    CWinDownloader downloader(log.Callback(), NginxUrl(L"/software/" + PackageName(size)), target);
    downloader.Start();
    ASSERT_TRUE(log.WaitTerminal());
    EXPECT_EQ(log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(log.All().back().text, L"URLDownloadToFile");
    double last = 0.0;
    for (const Status& s : log.All()) {
      if (s.code != DL_CODE_PROGRESS) continue;
      EXPECT_GE(s.value, last);
      EXPECT_LE(s.value, 1.0);
      last = s.value;
    }
    EXPECT_EQ(FileMd5Hex(target), SourceMd5(size));
  }
}

TEST(CWinDownloader, ThreeFailedAttemptsFailWithTheServiceCode) {
  SleepLog sleeps;
  TestSupport::TempDir dir;
  const std::wstring target = dir.File(L"p.exe");
  StatusLog log;
  CWinDownloader downloader(log.Callback(), DeadUrl(), target);
  downloader.Start();
  ASSERT_TRUE(log.WaitTerminal());
  EXPECT_EQ(log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_FAIL}));
  EXPECT_EQ(log.All().back().text, L"URLDownloadToFile");
  EXPECT_NE(log.All().back().value, 0.0);
  EXPECT_EQ(sleeps.All(), std::vector<uint32_t>(3, CWinDownloader::kRetrySleepMs));
  EXPECT_FALSE(Exists(target));
  // The one run is over: Start again does nothing.
  downloader.Start();
  EXPECT_FALSE(log.WaitFor({DL_CODE_START}, 2, std::chrono::seconds(1)));
}

// Wine's urlmon saves an error page and reports success unless the bind callback
// refuses the answer.
TEST(CWinDownloader, ErrorStatusFromTheServerIsAFailedAttempt) {
  SleepLog sleeps;
  TestSupport::TempDir dir;
  const std::wstring target = dir.File(L"p.exe");
  const std::string id = UniqueId();
  StatusLog log;
  CWinDownloader downloader(log.Callback(), FaultUrl("get=500,id=" + id, 1048576), target);
  downloader.Start();
  ASSERT_TRUE(log.WaitTerminal());
  EXPECT_EQ(log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_FAIL}));
#ifdef _WIN32
  EXPECT_LT(log.All().back().value, 0.0);  // a failing HRESULT
#else
  EXPECT_EQ(log.All().back().value, 22.0);  // the stand-in's code: libcurl's HTTP error
#endif
  EXPECT_EQ(FaultGets(id).size(), 3u);
  EXPECT_FALSE(Exists(target));
}

TEST(CWinDownloader, DestroyedBeforeStartOrDuringATransferEndsCleanly) {
  {
    StatusLog log;
    TestSupport::TempDir dir;
    auto never = std::make_unique<CWinDownloader>(log.Callback(), NginxUrl(L"/software/pkg_256.exe"), dir.File(L"p"));
    never.reset();
    EXPECT_TRUE(log.All().empty());
  }
  StatusLog log;
  TestSupport::TempDir dir;
  // The service notices the abort at its next progress notification.
  ExpectCleanDestructionMidTransfer(
      std::make_unique<CWinDownloader>(log.Callback(), FaultUrl("slow=100,id=" + UniqueId(), 15000000), dir.File(L"p.exe")),
      log, std::chrono::milliseconds(300));
  EXPECT_FALSE(Exists(dir.File(L"p.exe")));
}

}  // namespace
