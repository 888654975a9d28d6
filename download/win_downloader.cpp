#include "download/win_downloader.h"

#include "utils/os.h"
#include "utils/text.h"

namespace {
constexpr const wchar_t* kFileUrlPrefix = L"file:///";
}

std::wstring CWinDownloader::RequestUrl(const std::wstring& url) {
  return Utils::StartsWith(url, kFileUrlPrefix) ? url : Utils::UrlEncodeUtf8(url);
}

CWinDownloader::CWinDownloader(StatusCallback callback, const std::wstring& url, const std::wstring& filePath)
    : m_Callback(std::move(callback)), m_FilePath(filePath), m_Url(url) {
  m_Worker = std::make_unique<Utils::Thread>(this, kDownloadThreadName, [](void* self) -> uint32_t {
    static_cast<CWinDownloader*>(self)->WorkerBody();
    return 0;
  });
  if (!m_Worker->IsValid()) m_Worker.reset();
}

// Aborts the service, lets a never-started worker run to its end, joins it.
CWinDownloader::~CWinDownloader() {
  m_Progress.Abort();
  {
    std::lock_guard<std::mutex> lock(m_StartLock);
    m_Started = true;
  }
  // A worker that never started runs only to see the abort and end.
  if (m_Worker) {
    m_Worker->Resume();
    m_Worker->Join();
  }
}

void CWinDownloader::Start() {
  {
    std::lock_guard<std::mutex> lock(m_StartLock);
    m_Progress.SetCallback(m_Callback);
    if (m_Started) return;
    m_Started = true;
    if (m_Worker) {
      m_Worker->Resume();
      return;
    }
  }
  // Reported outside the lock: the receiver may call Start from its callback.
  Report(DL_CODE_FAIL, kNoWorkerFailure, kUrlDownloadToFileText);
}

void CWinDownloader::Report(int32_t code, double value, const wchar_t* text) {
  if (m_Progress.Aborted()) return;
  if (m_Callback) m_Callback(code, value, text);
}

void CWinDownloader::WorkerBody() {
  // Destroyed before Start: the worker was only resumed so that it can end.
  if (m_Progress.Aborted()) return;
  ServiceThreadBegin();
  Report(DL_CODE_START, 1.0, L"");
  const std::wstring requestUrl = RequestUrl(m_Url);
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    const int32_t result = CallService(requestUrl);
    if (result == 0) {
      Report(DL_CODE_SUCCESS, 0.0, kUrlDownloadToFileText);
      break;
    }
    // The service may have written part of the file before it failed.
    Utils::DeleteFilePath(m_FilePath);
    if (m_Progress.Aborted()) break;
    Utils::SleepMs(kRetrySleepMs);
    if (attempt == kAttempts) Report(DL_CODE_FAIL, result, kUrlDownloadToFileText);
  }
  ServiceThreadEnd();
}
