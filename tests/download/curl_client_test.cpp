#include "download/curl_client.h"

#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "download/md5.h"
#include "tests/download/download_test_support.h"
#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/text.h"

namespace {
using namespace DownloadTest;

TEST(CurlClient, ProbesThroughTheRedirectAndRefusesPackagesBelowOneMebibyte) {
  struct Row {
    const char* name;
    int64_t size;
    int32_t result;
  } const rows[] = {
      {"one byte short", 1048575, CurlClient::kResultNoLength},
      {"exactly 1 MiB", 1048576, 0},
      {"one part", 15000000, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TraceLog trace;
    TestSupport::TempDir dir;
    const std::wstring target = dir.File(L"p.exe");
    CurlClient client(NginxUrl(L"/software/" + PackageName(row.size)), target, nullptr, nullptr);
    EXPECT_EQ(client.Start(), row.result);
    EXPECT_TRUE(trace.Contains(L"CurlClient::Start", L"start download"));
    // The transfer's result and its end are traced only when a transfer ran.
    EXPECT_EQ(trace.Contains(L"CurlClient::Start", L"error:0:"), row.result == 0);
    EXPECT_EQ(trace.Contains(L"CurlClient::Start", L"end download"), row.result == 0);
    EXPECT_FALSE(Exists(client.GetFilePath(true)));
    if (row.result == 0) {
      EXPECT_EQ(client.RealUrl(), Utils::WideToUtf8(NginxUrl(L"/d/" + Utils::Utf8ToWide(SourceMd5(row.size)) + L"/" +
                                                            PackageName(row.size))));
      EXPECT_EQ(client.FileLength(), double(row.size));
      EXPECT_EQ(FileMd5Hex(target), SourceMd5(row.size));
    } else {
      EXPECT_FALSE(Exists(target));
    }
  }
}

TEST(CurlClient, ResumesAPartialFileFromItsSize) {
  TestSupport::TempDir dir;
  const std::wstring target = dir.File(L"p.exe");
  std::string source;
  ASSERT_TRUE(Utils::ReadWholeFile(SourcePackage(1048576), source));
  ASSERT_TRUE(Utils::WriteWholeFile(target + L".part", source.substr(0, 300000)));
  const std::string id = UniqueId();
  CurlClient client(FaultUrl("id=" + id, 1048576), target, nullptr, nullptr);
  EXPECT_EQ(client.Start(), 0);
  EXPECT_EQ(client.ResumeOffset(), 300000);
  EXPECT_EQ(FaultGets(id), std::vector<std::string>{"GET bytes=300000-"});
  EXPECT_EQ(FileMd5Hex(target), SourceMd5(1048576));
}

TEST(CurlClient, UnusableLengthProbesAreReportedOncePerProbe) {
  struct Row {
    const char* name;
    std::string faults;
    int reports;
    const wchar_t* reason;
  } const rows[] = {
      {"HEAD 404", "head=404", 2, L"1.获取文件大小的状态码为=404；"},
      {"HEAD 400", "head=400", 2, L"1.获取文件大小的状态码为=400；"},
      {"HEAD 500", "head=500", 2, L"1.获取文件大小的状态码为=500；"},
      {"redirect loop", "loop", 0, L""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ProbeReportLog reports;
    TraceLog trace;
    TestSupport::TempDir dir;
    CurlClient client(FaultUrl(row.faults + ",id=" + UniqueId(), 1048576), dir.File(L"p.exe"), nullptr, nullptr);
    EXPECT_EQ(client.Start(), CurlClient::kResultNoLength);
    EXPECT_TRUE(trace.Contains(L"CurlClient::GetDownloadFileLength", L"error:"));
    EXPECT_TRUE(trace.Contains(L"CurlClient::GetDownloadFileLength_Str", L"error:"));
    EXPECT_FALSE(Exists(dir.File(L"p.exe.part")));
    const auto all = reports.All();
    ASSERT_EQ(all.size(), size_t(row.reports));
    for (const ProbeReport& report : all) {
      EXPECT_EQ(report.name, L"下载失败原因");
      EXPECT_EQ(report.elapsed, 0.0f);
      EXPECT_EQ(report.reason, row.reason);
      EXPECT_EQ(report.properties, (std::map<std::wstring, std::wstring>{{L"AB", L"IN"}}));
    }
  }
}

TEST(CurlClient, ServerThatCannotResumeMakesTheNextAttemptStartOver) {
  TestSupport::TempDir dir;
  const std::wstring target = dir.File(L"p.exe");
  ASSERT_TRUE(Utils::WriteWholeFile(target + L".part", std::string(1000, 'z')));
  CurlClient client(FaultUrl("norange,id=" + UniqueId(), 1048576), target, nullptr, nullptr);
  EXPECT_EQ(client.Start(), CURLE_RANGE_ERROR);
  EXPECT_FALSE(Exists(target));
  EXPECT_FALSE(Exists(target + L".part"));
  EXPECT_EQ(client.Start(), 0);
  EXPECT_EQ(FileMd5Hex(target), SourceMd5(1048576));
}

TEST(CurlClient, ShortBodyUnderAWrongLengthIsNotMovedToTheFinalName) {
  // HEAD and GET both claim 1000 bytes less than the file and send only those.
  TestSupport::TempDir dir;
  const std::wstring target = dir.File(L"p.exe");
  CurlClient client(FaultUrl("badlen=-1000,id=" + UniqueId(), 2000000, "nomd5"), target, nullptr, nullptr);
  EXPECT_EQ(client.Start(), 0);  // the claimed length arrived in full
  EXPECT_EQ(Utils::FileSize(target), 2000000 - 1000);
  // A body that ends before the claimed length is an early end, kept for resuming.
  TestSupport::TempDir dir2;
  const std::wstring target2 = dir2.File(L"p.exe");
  CurlClient longer(FaultUrl("badlen=1000,id=" + UniqueId(), 2000000, "nomd5"), target2, nullptr, nullptr);
  EXPECT_EQ(longer.Start(), CURLE_PARTIAL_FILE);
  EXPECT_FALSE(Exists(target2));
  EXPECT_EQ(Utils::FileSize(target2 + L".part"), 2000000);
}

TEST(CurlClient, StopEndsTheTransferWith42AndKeepsThePartialName) {
  TestSupport::TempDir dir;
  const std::wstring target = dir.File(L"p.exe");
  CurlClient client(FaultUrl("trickle,id=" + UniqueId(), 1048576), target, nullptr, nullptr);
  auto result = std::async(std::launch::async, [&] { return client.Start(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  const auto stopped = std::chrono::steady_clock::now();
  client.Stop();
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(result.get(), CURLE_ABORTED_BY_CALLBACK);
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(3));
  EXPECT_FALSE(Exists(target));
  EXPECT_TRUE(Exists(target + L".part"));
}

}  // namespace
