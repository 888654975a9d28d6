// POSIX stand-in for the system URL download service: one plain libcurl transfer into
// "<file>.part", moved to the file when complete, with the same statuses and texts.
// Its failure code is libcurl's result code.
#include <curl/curl.h>

#include "download/file_io.h"
#include "download/win_downloader.h"
#include "utils/os.h"
#include "utils/text.h"

namespace {

constexpr long kFirstRedirectStatus = 300;
constexpr long kLastRedirectStatus = 399;

struct ServiceTransfer {
  BindProgress* progress;
  CURL* handle;
  uint64_t lastProgress = 0;  // libcurl repeats a notification while nothing arrives
};

int ServiceProgress(void* data, curl_off_t dltotal, curl_off_t dlnow, curl_off_t, curl_off_t) {
  auto* transfer = static_cast<ServiceTransfer*>(data);
  // The body of a redirect is no progress of the file.
  long status = 0;
  curl_easy_getinfo(transfer->handle, CURLINFO_RESPONSE_CODE, &status);
  const bool redirecting = status >= kFirstRedirectStatus && status <= kLastRedirectStatus;
  const uint64_t maximum = dltotal > 0 && !redirecting ? uint64_t(dltotal) : 0;
  if (maximum != 0 && uint64_t(dlnow) == transfer->lastProgress) return transfer->progress->Aborted() ? 1 : 0;
  if (maximum != 0) transfer->lastProgress = uint64_t(dlnow);
  return transfer->progress->Forward(uint64_t(dlnow), maximum) ? 0 : 1;
}

}  // namespace

void CWinDownloader::ServiceThreadBegin() {}
void CWinDownloader::ServiceThreadEnd() {}

int32_t CWinDownloader::CallService(const std::wstring& requestUrl) {
  UniqueCurl handle(curl_easy_init());
  if (!handle) return CURLE_FAILED_INIT;
  const std::wstring partPath = m_FilePath + L".part";
  UniqueFile file(OpenFile(partPath, L"wb"));
  if (!file) return CURLE_WRITE_ERROR;
  const std::string url = CurlUrl(requestUrl);
  CURL* h = handle.get();
  ServiceTransfer transfer{&m_Progress, h};
  int result = SetUpBodyTransfer(h, url, WriteToFile, file.get(), ServiceProgress, &transfer);
  if (result == CURLE_OK) result = curl_easy_perform(h);
  if (result == CURLE_OK && std::fflush(file.get()) != 0) result = CURLE_WRITE_ERROR;
  file.reset();
  if (result == CURLE_OK && !Utils::MoveFileReplace(partPath, m_FilePath)) result = CURLE_WRITE_ERROR;
  if (result != CURLE_OK) Utils::DeleteFilePath(partPath);
  return result;
}
