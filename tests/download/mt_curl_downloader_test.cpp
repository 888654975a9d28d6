#include "download/mt_curl_downloader.h"

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

struct MtRun {
  TestSupport::TempDir dir;
  std::wstring target = dir.File(L"p.exe");
  StatusLog log;
  std::unique_ptr<CMTCurlDownloader> downloader;

  // restartOnRetry: call Start again from inside the status callback, as the
  // orchestration does.
  explicit MtRun(const std::wstring& url, bool restartOnRetry = false) {
    if (restartOnRetry) {
      log.onStatus = [this](int32_t code) {
        if (code == DL_CODE_RETRY) downloader->Start();
      };
    }
    downloader = std::make_unique<CMTCurlDownloader>(log.Callback(), url, target);
  }
  ~MtRun() { downloader.reset(); }
  std::wstring Part(int index) const { return target + L"_" + std::to_wstring(index); }
  bool NoFilesLeft() const { return !Exists(target) && !Exists(Part(0)) && !Exists(Part(1)); }
};

TEST(CMTCurlDownloader, DownloadsOneOrTwoPartsThroughTheRedirect) {
  for (int64_t size : {int64_t(256), int64_t(1048576), int64_t(15000000), int64_t(30000001)}) {
    SCOPED_TRACE(size);
    MtRun run(NginxUrl(L"/software/" + PackageName(size)));
    run.downloader->Start();
    ASSERT_TRUE(run.log.WaitTerminal());
    EXPECT_EQ(run.log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(run.log.All().front().value, 1.0);
    EXPECT_EQ(run.log.All().back().text, L"LibCurl");
    EXPECT_EQ(FileMd5Hex(run.target), SourceMd5(size));
    EXPECT_FALSE(Exists(run.Part(0)));
    EXPECT_FALSE(Exists(run.Part(1)));
  }
}

TEST(CMTCurlDownloader, SplitsAtTenMebibyteUnitsAndTheLastPartTakesTheRemainder) {
  struct Row {
    int64_t size;
    std::vector<std::string> ranges;
  } const rows[] = {
      {15000000, {"GET bytes=0-14999999"}},
      {30000001, {"GET bytes=0-14999999", "GET bytes=15000000-30000000"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.size);
    TraceLog trace;
    const std::string id = UniqueId();
    MtRun run(FaultUrl("id=" + id, row.size));
    run.downloader->Start();
    ASSERT_TRUE(run.log.WaitTerminal());
    EXPECT_EQ(run.log.All().back().code, DL_CODE_SUCCESS);
    // Each further part is traced as it is joined, by the joining function.
    EXPECT_EQ(trace.Contains(L"CMTCurlDownloader::waitForFinishThreadFun", L"partPath::" + run.Part(1)),
              row.ranges.size() == 2);
    EXPECT_TRUE(trace.Contains(L"CMTCurlDownloader::waitForFinishThreadFun", L"finish recv"));
    EXPECT_EQ(FaultGets(id), row.ranges);
    EXPECT_EQ(FileMd5Hex(run.target), SourceMd5(row.size));
  }
}

TEST(CMTCurlDownloader, ProbeRefusesUnusableLengthsAtOnce) {
  struct Row {
    const char* name;
    std::wstring url;
  } const rows[] = {
      {"255 bytes", NginxUrl(L"/software/" + PackageName(255))},
      {"3 GB claimed", FaultUrl("headlen=3000000000,id=" + UniqueId(), 1048576)},
      {"HEAD 404", FaultUrl("head=404,id=" + UniqueId(), 1048576)},
      {"redirect loop", FaultUrl("loop,id=" + UniqueId(), 1048576)},
      {"nothing listens", DeadUrl()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MtRun run(row.url);
    run.downloader->Start();
    ASSERT_TRUE(run.log.WaitTerminal());
    EXPECT_EQ(run.log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(run.log.All().back().value, 0.0);
    EXPECT_TRUE(run.NoFilesLeft());
  }
}

TEST(CMTCurlDownloader, NoMd5DirectoryGivesTheNoticeThenSuccess) {
  MtRun run(NginxUrl(L"/plain/" + PackageName(1048576)));
  run.downloader->Start();
  ASSERT_TRUE(run.log.WaitTerminal());
  EXPECT_EQ(run.log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_MD5, DL_CODE_SUCCESS}));
  const auto all = run.log.All();
  EXPECT_EQ(all[all.size() - 2].text, L"mtcurl获取url-md5失败");
  EXPECT_EQ(FileMd5Hex(run.target), SourceMd5(1048576));
}

TEST(CMTCurlDownloader, Md5MismatchRetriesOnceThenFailsAndLeavesNothing) {
  TraceLog trace;
  MtRun run(NginxUrl(L"/wrongmd5/" + PackageName(30000001)), true);
  run.downloader->Start();
  ASSERT_TRUE(run.log.WaitFor({DL_CODE_FAIL, DL_CODE_SUCCESS}));
  EXPECT_EQ(run.log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_MD5, DL_CODE_RETRY,
                                                                  DL_CODE_START, DL_CODE_MD5, DL_CODE_FAIL}));
  for (const Status& s : run.log.All()) {
    if (s.code == DL_CODE_MD5) {
      EXPECT_EQ(s.text, L"mtcurl文件md5校验失败");
    }
    if (s.code == DL_CODE_RETRY || s.code == DL_CODE_FAIL) {
      EXPECT_EQ(s.value, 0.0);
    }
  }
  EXPECT_TRUE(trace.Contains(L"(CMTCurlDownloader::waitForFinishThreadFun)"));
  EXPECT_TRUE(trace.Contains(L"finish recv, md5 chaek failed retry once."));
  EXPECT_TRUE(trace.Contains(L"finish recv, md5 chaek failed and retry failed."));
  EXPECT_TRUE(run.NoFilesLeft());
}

TEST(CMTCurlDownloader, PartRetryBudgetCountsEarlyEndsOnceAndOtherFailuresTwice) {
  struct Row {
    const char* name;
    std::string faults;
    double failure;
    size_t attempts;  // of the second part
    size_t sleeps;    // of both parts
  } const rows[] = {
      {"always ends early: 13 attempts", "drop=1000", 18.0, 13, 24},
      {"always answers 500: 7 attempts", "get=500", 22.0, 7, 12},
      {"ignores ranges: the second part never takes bytes from the start", "norange", 23.0, 7, 6},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SleepLog sleeps;
    const std::string id = UniqueId();
    MtRun run(FaultUrl(row.faults + ",id=" + id, 30000001));
    run.downloader->Start();
    ASSERT_TRUE(run.log.WaitTerminal());
    EXPECT_EQ(run.log.CodesWithoutProgress(), (std::vector<int32_t>{DL_CODE_START, DL_CODE_RETRY}));
    EXPECT_EQ(run.log.All().back().value, row.failure);
    // The second part alone (the first part may complete when ranges are ignored).
    size_t secondPartGets = 0;
    for (const std::string& get : FaultGets(id)) secondPartGets += get.find("bytes=15") != std::string::npos;
    EXPECT_EQ(secondPartGets, row.attempts);
    EXPECT_EQ(sleeps.Count(CMTCurlDownloader::kRetrySleepMs), row.sleeps);
    EXPECT_FALSE(Exists(run.target));
  }
}

// The first run ends early 13 times (the first time after a pause long enough for a
// progress report), so its part file stays and the retry asks only for the rest.
TEST(CMTCurlDownloader, FailedRunWithProgressKeepsItsPartFileAndTheRetryResumesIt) {
  SleepLog sleeps;
  const std::string id = UniqueId();
  MtRun run(FaultUrl("drop=1000000,first=13,pause1=1500,id=" + id, 15000000));
  run.downloader->Start();
  ASSERT_TRUE(run.log.WaitTerminal());
  EXPECT_EQ(run.log.All().back().code, DL_CODE_RETRY);
  EXPECT_EQ(Utils::FileSize(run.Part(0)), 13000000);
  EXPECT_EQ(sleeps.Count(CMTCurlDownloader::kRetrySleepMs), 12u);
  run.downloader->Start();
  ASSERT_TRUE(run.log.WaitTerminal(2));
  EXPECT_EQ(run.log.All().back().code, DL_CODE_SUCCESS);
  // The second run counts the kept bytes: its progress starts above 13/15.
  const auto all = run.log.All();
  bool secondRun = false;
  int starts = 0;
  for (const Status& s : all) {
    if (s.code == DL_CODE_START) secondRun = ++starts == 2;
    if (secondRun && s.code == DL_CODE_PROGRESS) {
      EXPECT_GE(s.value, 13.0 / 15.0);
    }
  }
  const auto gets = FaultGets(id);
  ASSERT_EQ(gets.size(), 14u);
  EXPECT_EQ(gets.front(), "GET bytes=0-14999999");
  EXPECT_EQ(gets.back(), "GET bytes=13000000-14999999");
  EXPECT_EQ(FileMd5Hex(run.target), SourceMd5(15000000));
}

TEST(CMTCurlDownloader, TrickleBelowOneBytePerSecondFailsThePartAfterFiveSeconds) {
  SleepLog sleeps;
  TraceLog trace;
  MtRun run(FaultUrl("trickle,first=1,id=" + UniqueId(), 1048576));
  run.downloader->Start();
  ASSERT_TRUE(run.log.WaitTerminal());
  EXPECT_EQ(run.log.All().back().code, DL_CODE_SUCCESS);
  EXPECT_TRUE(trace.Contains(L"CurlDownLoader Code=28"));
  EXPECT_EQ(sleeps.Count(CMTCurlDownloader::kRetrySleepMs), 1u);
  EXPECT_EQ(FileMd5Hex(run.target), SourceMd5(1048576));
}

TEST(CMTCurlDownloader, DestroyingItWhilePartsRunStopsAndJoinsThem) {
  MtRun run(FaultUrl("trickle,id=" + UniqueId(), 30000001));
  ExpectCleanDestructionMidTransfer(std::move(run.downloader), run.log, std::chrono::milliseconds(500));
  EXPECT_FALSE(Exists(run.target));
  // Both ranges had their part files open.
  EXPECT_TRUE(Exists(run.Part(0)));
  EXPECT_TRUE(Exists(run.Part(1)));
}

}  // namespace
