#pragma once
// CWinDownloader: hands the whole transfer to the system URL download service
// (URLDownloadToFileW on Windows; on POSIX one plain libcurl transfer with the same
// statuses and texts), watching progress through BindProgress (on Windows through a
// CBindCallback made for each call of the service). Up to 3 attempts,
// one run for the object's whole life, no digest check.
//
// Teardown: destruction aborts a running transfer at its next progress notification,
// waits for the worker and sends no further status. A downloader destroyed before
// Start lets its worker end without doing anything.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "download/bind_progress.h"
#include "download/downloader.h"
#include "utils/thread.h"

class CWinDownloader : public CDownloader {
 public:
  static constexpr int kAttempts = 3;
  static constexpr uint32_t kRetrySleepMs = 1000;

#ifdef _WIN32
  // The service's bind-status object for one call.
  class CBindCallback;
#endif

  // Creates the worker, suspended.
  CWinDownloader(StatusCallback callback, const std::wstring& url, const std::wstring& filePath);
  ~CWinDownloader() override;
  // Gives the bind callback a copy of the status callback and lets the worker run; a
  // later call only refreshes that copy.
  void Start() override;

  // The URL the service is asked for: unchanged for "file:///", otherwise its UTF-8
  // bytes URL-encoded (33..126 kept, blank as "+", others as "%XX").
  static std::wstring RequestUrl(const std::wstring& url);

 private:
  void WorkerBody();
  void Report(int32_t code, double value, const wchar_t* text);
  // Platform part: one call of the service; 0 on success, otherwise its failure code.
  int32_t CallService(const std::wstring& requestUrl);
  void ServiceThreadBegin();
  void ServiceThreadEnd();

  BindProgress m_Progress;
  StatusCallback m_Callback;
  std::wstring m_FilePath;
  std::wstring m_Url;
  std::mutex m_StartLock;
  bool m_Started = false;
  std::unique_ptr<Utils::Thread> m_Worker;
};
