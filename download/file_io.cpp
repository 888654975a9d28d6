#include "download/file_io.h"

#include "download/curl_options.h"
#include "utils/text.h"

std::string CurlUrl(const std::wstring& url) {
  if (Utils::StartsWith(url, L"file:///")) return Utils::WideToMultiByte(url, Utils::kCodePageAnsi);
  return Utils::WideToUtf8(url);
}

std::wstring CurlErrorText(CURLcode code) { return TraceText(curl_easy_strerror(code)); }

std::wstring TraceText(const std::string& narrow) {
  return Utils::MultiByteToWide(narrow, Utils::kCodePageUtf8);
}

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
  return std::fwrite(data, size, count, static_cast<FILE*>(file)) * size;
}

size_t DiscardBody(char*, size_t size, size_t count, void*) { return size * count; }

bool SetUpHeadRequest(CURL* handle, const std::string& url, bool withHeader) {
  int failed = CURLE_OK;
  failed |= curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  failed |= curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  failed |= curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
  failed |= curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
  failed |= curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, DiscardBody);
  failed |= curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  if (withHeader) failed |= curl_easy_setopt(handle, CURLOPT_HEADER, 1L);
  return failed == CURLE_OK;
}

int SetUpBodyTransfer(CURL* handle, const std::string& url, curl_write_callback write, void* writeData,
                      curl_xferinfo_callback progress, void* progressData) {
  int failed = CURLE_OK;
  failed |= curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  failed |= curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  failed |= curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
  failed |= curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
  failed |= curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  // Without these a stalled server would hold the download for ever.
  failed |= curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedLimitBytes);
  failed |= curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, kLowSpeedTimeSeconds);
  failed |= curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, write);
  failed |= curl_easy_setopt(handle, CURLOPT_WRITEDATA, writeData);
  failed |= curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  failed |= curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, progress);
  failed |= curl_easy_setopt(handle, CURLOPT_XFERINFODATA, progressData);
  return failed;
}
