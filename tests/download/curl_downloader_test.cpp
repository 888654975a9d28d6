#include "download/curl_downloader.h"

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

// Checks the shape every run has: START first with 1.0, progress rising within (0, 1].
void ExpectWellFormedRun(const std::vector<Status>& statuses) {
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.front().code, DL_CODE_START);
  EXPECT_EQ(statuses.front().value, 1.0);
  double last = 0.0;
  for (const Status& s : statuses) {
    if (s.code == DL_CODE_START) last = 0.0;
    if (s.code != DL_CODE_PROGRESS) continue;
    EXPECT_GT(s.value, 0.0);
    EXPECT_LE(s.value, 1.0);
    EXPECT_GE(s.value, last);
    last = s.value;
  }
}

TEST(CCurlDownloader, DownloadsThroughTheRedirectAndChecksTheMd5) {
  for (int64_t size : {int64_t(1048576), int64_t(15000000), int64_t(30000001)}) {
    SCOPED_TRACE(size);
    TestSupport::TempDir dir;
    const std::wstring target = dir.File(L"p.exe");
    StatusLog log;
    CCurlDownloader downloader(log.Callback(), NginxUrl(L"/software/" + PackageName(size)), target);
    downloader.Start();
    ASSERT_TRUE(log.WaitTerminal());
    ExpectWellFormedRun(log.All());
    EXPECT_EQ(log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(log.All().back().text, L"LibCurl");
    EXPECT_EQ(FileMd5Hex(target), SourceMd5(size));
    EXPECT_FALSE(Exists(target + L".part"));
  }
}

TEST(CCurlDownloader, NoMd5DirectoryGivesTheNoticeThenSuccess) {
  TestSupport::TempDir dir;
  const std::wstring target = dir.File(L"p.exe");
  StatusLog log;
  CCurlDownloader downloader(log.Callback(), NginxUrl(L"/plain/" + PackageName(1048576)), target);
  downloader.Start();
  ASSERT_TRUE(log.WaitTerminal());
  EXPECT_EQ(log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_MD5, DL_CODE_SUCCESS}));
  const auto all = log.All();
  EXPECT_EQ(all[all.size() - 2].text, L"curl获取url-md5失败");
  EXPECT_EQ(FileMd5Hex(target), SourceMd5(1048576));
}

TEST(CCurlDownloader, RetryBudgetCountsEarlyEndsOnceAndOtherFailuresTwice) {
  struct Row {
    const char* name;
    std::string faults;
    int32_t lastCode;
    double value;
    size_t sleeps;
    size_t gets;
  } const rows[] = {
      {"always ends early: 12 attempts", "drop=1000", DL_CODE_FAIL, 18.0, 11, 12},
      {"always answers 500: 6 attempts", "get=500", DL_CODE_FAIL, 22.0, 5, 6},
      {"ends early twice, then completes", "drop=400000,first=2", DL_CODE_SUCCESS, 0.0, 2, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SleepLog sleeps;
    TestSupport::TempDir dir;
    const std::wstring target = dir.File(L"p.exe");
    const std::string id = UniqueId();
    StatusLog log;
    CCurlDownloader downloader(log.Callback(), FaultUrl(row.faults + ",id=" + id, 1048576), target);
    downloader.Start();
    ASSERT_TRUE(log.WaitTerminal());
    EXPECT_EQ(log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, row.lastCode}));
    EXPECT_EQ(log.All().back().value, row.value);
    EXPECT_EQ(sleeps.All(), std::vector<uint32_t>(row.sleeps, CCurlDownloader::kRetrySleepMs));
    EXPECT_EQ(FaultGets(id).size(), row.gets);
    EXPECT_EQ(Exists(target), row.lastCode == DL_CODE_SUCCESS);
    if (row.lastCode == DL_CODE_SUCCESS) {
      EXPECT_EQ(FaultGets(id), (std::vector<std::string>{"GET -", "GET bytes=400000-", "GET bytes=800000-"}));
      EXPECT_EQ(FileMd5Hex(target), SourceMd5(1048576));
    }
  }
}

TEST(CCurlDownloader, PackageBelowOneMebibyteFailsWithMinus998) {
  SleepLog sleeps;
  ProbeReportLog reports;
  TestSupport::TempDir dir;
  StatusLog log;
  CCurlDownloader downloader(log.Callback(), NginxUrl(L"/software/" + PackageName(1048575)), dir.File(L"p.exe"));
  downloader.Start();
  ASSERT_TRUE(log.WaitTerminal());
  EXPECT_EQ(log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_FAIL}));
  EXPECT_EQ(log.All().back().value, -998.0);
  EXPECT_EQ(sleeps.Count(CCurlDownloader::kRetrySleepMs), 5u);
  EXPECT_TRUE(reports.All().empty());  // a length was given, it is only too small
  EXPECT_FALSE(Exists(dir.File(L"p.exe")));
}

// A mismatching or short file is never reported as success and never left in place;
// the second integrity failure is final. The retry starts from inside the status
// callback, as the orchestration does.
TEST(CCurlDownloader, IntegrityFailureRetriesOnceThenFails) {
  struct Row {
    const char* name;
    std::wstring url;
  } const rows[] = {
      {"MD5 directory does not match", NginxUrl(L"/wrongmd5/" + PackageName(1048576))},
      {"server claims and sends 1000 bytes too few", FaultUrl("badlen=-1000,id=" + UniqueId(), 15000000)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TestSupport::TempDir dir;
    const std::wstring target = dir.File(L"p.exe");
    StatusLog log;
    std::unique_ptr<CCurlDownloader> downloader;
    log.onStatus = [&](int32_t code) {
      if (code == DL_CODE_RETRY) downloader->Start();
    };
    downloader = std::make_unique<CCurlDownloader>(log.Callback(), row.url, target);
    downloader->Start();
    ASSERT_TRUE(log.WaitFor({DL_CODE_FAIL, DL_CODE_SUCCESS}));
    EXPECT_EQ(log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_MD5, DL_CODE_RETRY,
                                                                DL_CODE_START, DL_CODE_MD5, DL_CODE_FAIL}));
    for (const Status& s : log.All()) {
      if (s.code == DL_CODE_MD5) {
        EXPECT_EQ(s.text, L"curl文件md5校验失败");
      }
    }
    EXPECT_FALSE(Exists(target));
    downloader.reset();
  }
}

TEST(CCurlDownloader, DestroyingItDuringATransferStopsAndJoinsTheWorker) {
  TestSupport::TempDir dir;
  StatusLog log;
  ExpectCleanDestructionMidTransfer(
      std::make_unique<CCurlDownloader>(log.Callback(), FaultUrl("trickle,id=" + UniqueId(), 1048576), dir.File(L"p.exe")),
      log, std::chrono::milliseconds(300));
  EXPECT_FALSE(Exists(dir.File(L"p.exe")));
  EXPECT_FALSE(Exists(dir.File(L"p.exe.part")));
}

}  // namespace
