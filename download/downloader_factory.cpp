#include "download/downloader_factory.h"

#include "download/curl_downloader.h"
#include "download/mt_curl_downloader.h"
#include "download/win_downloader.h"

namespace {
constexpr int32_t kTypeSystemService = 2;
constexpr int32_t kTypeMultiPart = 3;
}  // namespace

std::unique_ptr<CDownloader> CreateDownloader(int32_t downloadType, StatusCallback callback, const std::wstring& url,
                                              const std::wstring& filePath) {
  switch (downloadType) {
    case kTypeSystemService:
      return std::make_unique<CWinDownloader>(std::move(callback), url, filePath);
    case kTypeMultiPart:
      return std::make_unique<CMTCurlDownloader>(std::move(callback), url, filePath);
    default:
      return std::make_unique<CCurlDownloader>(std::move(callback), url, filePath);
  }
}
