#include "download/curl_client.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <cwchar>

#include "download/curl_options.h"
#include "download/probe_report.h"
#include "utils/debug_log.h"
#include "utils/os.h"
#include "utils/text.h"

namespace {

constexpr size_t kReasonChars = 200;
constexpr size_t kErrorTextChars = 200;
constexpr const wchar_t* kPartSuffix = L".part";
constexpr long kTcpKeepAliveSeconds = 10;
constexpr size_t kPartFileBufferBytes = 64 * 1024;

std::wstring SystemErrorText(int error) {
  std::wstring text = Utils::MultiByteToWide(std::strerror(error), Utils::kCodePageAnsi);
  if (text.size() >= kErrorTextChars) text.resize(kErrorTextChars - 1);
  return text;
}

}  // namespace

CurlClient::CurlClient(std::wstring url, std::wstring filePath, void* userData, ProgressFunction progress)
    : m_Url(std::move(url)), m_FilePath(std::move(filePath)), m_UserData(userData), m_Progress(progress) {}

CurlClient::~CurlClient() {
  m_Stop = true;
  Utils::DeleteFilePath(GetFilePath(true));
}

std::wstring CurlClient::GetFilePath(bool part) const { return part ? m_FilePath + kPartSuffix : m_FilePath; }

std::string CurlClient::NarrowUrl() const { return CurlUrl(m_Url); }

UniqueCurl CurlClient::Head(const std::string& url) {
  UniqueCurl handle(curl_easy_init());
  if (!handle) return handle;
  if (!SetUpHeadRequest(handle.get(), url, false)) {
    DebugLog(L"error:%d:%s", int(CURLE_FAILED_INIT), CurlErrorText(CURLE_FAILED_INIT).c_str());
    return handle;
  }
  const CURLcode result = curl_easy_perform(handle.get());
  if (result != CURLE_OK) DebugLog(L"error:%d:%s", int(result), CurlErrorText(result).c_str());
  return handle;
}

std::string CurlClient::GetEffectiveUrl(CURL* handle) {
  char* url = nullptr;
  if (curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &url) != CURLE_OK || !url) return {};
  return url;
}

double CurlClient::UsableLength(CURL* handle, CURLcode read, curl_off_t length) {
  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  if (read == CURLE_OK && status >= kFirstUsableStatus && status <= kLastUsableStatus) {
    return length < 0 ? -1.0 : double(length);
  }
  wchar_t reason[kReasonChars];
  std::swprintf(reason, kReasonChars, L"1.获取文件大小的状态码为=%ld；", status);
  ReportProbeFailure(reason);
  return -1.0;
}

// Both length readers trace the read themselves: the trace names the function.
double CurlClient::GetDownloadFileLength(CURL* handle) {
  curl_off_t length = -1;
  const CURLcode read = curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  DebugLog(L"error:%d:%s", int(read), CurlErrorText(read).c_str());
  return UsableLength(handle, read, length);
}

double CurlClient::GetDownloadFileLength_Str(const std::string& url) {
  UniqueCurl handle(curl_easy_init());
  if (!handle) return -1.0;
  if (SetUpHeadRequest(handle.get(), url, true)) curl_easy_perform(handle.get());
  curl_off_t length = -1;
  const CURLcode read = curl_easy_getinfo(handle.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  DebugLog(L"error:%d:%s", int(read), CurlErrorText(read).c_str());
  return UsableLength(handle.get(), read, length);
}

std::string CurlClient::GetRealUrl_Str(const std::string& url) {
  UniqueCurl handle(curl_easy_init());
  if (!handle) return url;
  std::string realUrl;
  const CURLcode result =
      SetUpHeadRequest(handle.get(), url, false) ? curl_easy_perform(handle.get()) : CURLE_FAILED_INIT;
  if (result == CURLE_OK) {
    realUrl = GetEffectiveUrl(handle.get());
  } else {
    DebugLog(L"error:%d:%s", int(result), CurlErrorText(result).c_str());
  }
  return realUrl.empty() ? url : realUrl;
}

int32_t CurlClient::Start() {
  DebugLog(L"start download");
  if (m_Stop) return CURLE_ABORTED_BY_CALLBACK;
  const std::wstring partPath = GetFilePath(true);
  const std::wstring finalPath = GetFilePath(false);
  const std::string url = NarrowUrl();

  if (m_RealUrl.empty() || m_FileLength < kMinFileLength) {
    UniqueCurl head = Head(url);
    m_RealUrl = head ? GetEffectiveUrl(head.get()) : std::string();
    m_FileLength = head ? GetDownloadFileLength(head.get()) : -1.0;
  }
  if (m_RealUrl.empty() || m_FileLength < kMinFileLength) {
    m_RealUrl = GetRealUrl_Str(url);
    if (!m_RealUrl.empty()) m_FileLength = GetDownloadFileLength_Str(m_RealUrl);
    if (m_FileLength < kMinFileLength) return kResultNoLength;
  }
  bool performed = false;
  bool flushed = false;
  int32_t result = Transfer(partPath, performed, flushed);
  if (!performed) return result;  // no handle or no partial file: nothing was attempted
  DebugLog(L"error:%d:%s", result, CurlErrorText(CURLcode(result)).c_str());
  result = FinishTransfer(result, flushed, partPath, finalPath);
  DebugLog(L"end download");
  return result;
}

int32_t CurlClient::Transfer(const std::wstring& partPath, bool& performed, bool& flushed) {
  UniqueCurl handle(curl_easy_init());
  if (!handle) return kResultNoHandle;
  UniqueFile file(OpenFile(partPath, L"ab+"));
  if (!file) {
    m_ErrorText = SystemErrorText(errno);
    return kResultOpenPartFailed;
  }
  std::setvbuf(file.get(), nullptr, _IOFBF, kPartFileBufferBytes);
  const int64_t length = std::llround(m_FileLength);
  m_ResumeOffset = Utils::FileSize(partPath);
  if (m_ResumeOffset > length) {
    // Longer than the file: not a prefix of it, so start over.
    file.reset(OpenFile(partPath, L"wb"));
    if (!file) {
      m_ErrorText = SystemErrorText(errno);
      return kResultOpenPartFailed;
    }
    m_ResumeOffset = 0;
  }

  int result = CURLE_OK;
  if (m_ResumeOffset != length) {
    UniqueCurlSlist headers(curl_slist_append(nullptr, "Connection: keep-alive"));
    if (headers) curl_slist_append(headers.get(), "Accept-Encoding: gzip, deflate");
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(h, CURLOPT_TCP_KEEPIDLE, kTcpKeepAliveSeconds);
    curl_easy_setopt(h, CURLOPT_TCP_KEEPINTVL, kTcpKeepAliveSeconds);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, 0L);
    result |= SetUpBodyTransfer(h, m_RealUrl, WriteToFile, file.get(), ProgressCallback, this);
    if (m_ResumeOffset > 0) result |= curl_easy_setopt(h, CURLOPT_RESUME_FROM_LARGE, curl_off_t(m_ResumeOffset));
    if (result == CURLE_OK) {
      m_Handle = h;
      result = curl_easy_perform(h);
      m_Handle = nullptr;
    }
  }
  performed = true;
  handle.reset();
  flushed = std::fflush(file.get()) == 0;
  file.reset();
  return result;
}

int32_t CurlClient::FinishTransfer(int32_t result, bool flushed, const std::wstring& partPath,
                                   const std::wstring& finalPath) {
  const int64_t length = std::llround(m_FileLength);
  if (result == CURLE_RANGE_ERROR) {
    // The server cannot resume: the next attempt starts from the first byte.
    Utils::DeleteFilePath(partPath);
    return result;
  }
  if (result != CURLE_OK) return result;
  if (!flushed || Utils::FileSize(partPath) != length) {
    Utils::DeleteFilePath(partPath);
    return kResultSizeMismatch;
  }
  Utils::DeleteFilePath(finalPath);
  if (!Utils::MoveFileReplace(partPath, finalPath)) return kResultMoveFailed;
  return CURLE_OK;
}

int CurlClient::ProgressCallback(void* client, curl_off_t dltotal, curl_off_t dlnow, curl_off_t, curl_off_t) {
  CurlClient* self = static_cast<CurlClient*>(client);
  if (self->m_Stop) return 1;
  const int64_t now = int64_t(std::time(nullptr));
  if (now < self->m_LastReportTime + kReportIntervalSeconds) return 0;
  self->m_LastReportTime = now;
  curl_off_t bytesPerSecond = 0;
  if (self->m_Handle) curl_easy_getinfo(self->m_Handle, CURLINFO_SPEED_DOWNLOAD_T, &bytesPerSecond);
  const double speed = double(bytesPerSecond);
  double percent;
  if (self->m_FileLength > double(kMinFileLength)) {
    const int64_t resumed = self->m_ResumeOffset > 0 ? self->m_ResumeOffset : 0;
    percent = double(dlnow + resumed) / self->m_FileLength * 100.0;
  } else {
    if (dlnow <= 0 || dltotal <= 0) return 0;
    percent = double(dlnow) * 100.0 / double(dltotal);
  }
  if (percent == 0.0) return 0;
  if (self->m_Progress) self->m_Progress(self->m_UserData, speed, 0.0, percent);
  if (dltotal != 0) {
    DebugLog(L" %dM %dM   progress:%f%%  speed:%f \n", int(dlnow / 1048576), int(dltotal / 1048576),
             double(float(percent)), double(float(speed / 1024)));
  }
  return 0;
}
