#include "download/downloader_factory.h"

#include <gtest/gtest.h>

#include "download/curl_downloader.h"
#include "download/mt_curl_downloader.h"
#include "download/win_downloader.h"
#include "tests/support/test_support.h"

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

}  // namespace
