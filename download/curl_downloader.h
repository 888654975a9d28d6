#pragma once
// CCurlDownloader: the package over one libcurl connection (CurlClient), failed
// transfers retried inside the run, the result checked against the MD5 named by the
// final URL. Reports "LibCurl" statuses from its single worker.
//
// Teardown: destruction stops a running transfer, waits for the worker and sends no
// further status; the callback must not destroy the downloader.
#include <atomic>
#include <string>

#include "download/curl_client.h"
#include "download/downloader.h"
#include "download/worker_slot.h"

class CCurlDownloader : public CDownloader {
 public:
  // Failures ending early (libcurl 18) cost 1, any other 2: at most 12 or 6 attempts.
  static constexpr int kRetryBudget = 12;
  static constexpr int kEarlyEndCost = 1;
  static constexpr int kOtherFailureCost = 2;
  static constexpr uint32_t kRetrySleepMs = 500;

  // Deletes a stale partial file; starts nothing.
  CCurlDownloader(StatusCallback callback, const std::wstring& url, const std::wstring& filePath);
  ~CCurlDownloader() override;
  void Start() override;

  // CurlClient's progress function; `downloader` is the CCurlDownloader.
  static void ForwardProgress(void* downloader, double speed, double reserved, double percent);

 private:
  void dlThreadFun();
  void Report(int32_t code, double value, const wchar_t* text);

  StatusCallback m_Callback;
  std::wstring m_FilePath;
  std::wstring m_Url;
  CurlClient m_Client;
  bool m_Retried = false;  // an integrity failure has been reported as a retry
  std::atomic<bool> m_Stop{false};
  WorkerSlot m_Worker;  // last member: closed first, before the client goes
};
