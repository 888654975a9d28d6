#include "download/downloader_factory.h"

#include <gtest/gtest.h>

#include "download/curl_downloader.h"
#include "download/mt_curl_downloader.h"
#include "download/win_downloader.h"
#include "tests/download/download_test_support.h"
#include "tests/support/test_support.h"
#include "utils/thread.h"

namespace {

TEST(CreateDownloader, TypeTwoIsTheSystemServiceThreeIsMultiPartAnyOtherIsSingleConnection) {
  struct Row {
    int32_t type;
    const char* expected;
  } const rows[] = {
      {2, "system"}, {3, "multi"}, {1, "single"}, {0, "single"}, {4, "single"}, {-1, "single"},
  };
  TestSupport::TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    std::unique_ptr<CDownloader> downloader = CreateDownloader(row.type, nullptr, L"http://127.0.0.1:1/p", dir.File(L"p"));
    const char* kind = dynamic_cast<CWinDownloader*>(downloader.get())      ? "system"
                       : dynamic_cast<CMTCurlDownloader*>(downloader.get()) ? "multi"
                       : dynamic_cast<CCurlDownloader*>(downloader.get())   ? "single"
                                                                            : "none";
    EXPECT_STREQ(kind, row.expected);
  }
}

TEST(CreateDownloader, ARunWithoutAWorkerThreadStillEndsInFailure) {
  const struct {
    int32_t type;
    const wchar_t* text;
  } rows[] = {{1, L"LibCurl"}, {2, L"URLDownloadToFile"}, {3, L"LibCurl"}};
  TestSupport::TempDir dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.type);
    DownloadTest::StatusLog log;
    Utils::Thread::RefuseCreationForTesting(true);
    {
      std::unique_ptr<CDownloader> downloader =
          CreateDownloader(row.type, log.Callback(), L"http://127.0.0.1:1/p", dir.File(L"p"));
      downloader->Start();
    }
    Utils::Thread::RefuseCreationForTesting(false);
    const auto all = log.All();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].code, DL_CODE_FAIL);
    EXPECT_EQ(all[0].value, 2.0);
    EXPECT_EQ(all[0].text, row.text);
  }
}

}  // namespace
