#pragma once
// CurlClient: every libcurl transfer of the single-connection downloader for one
// package. Finds the final URL and the length by header-only requests, downloads the
// body into "<file>.part" (resuming what an earlier attempt left), and moves the
// partial file to the final name only when it is complete. Start() runs on the
// owner's worker; Stop() may come from any thread.
#include <atomic>
#include <cstdint>
#include <string>

#include <curl/curl.h>

#include "download/file_io.h"

class CurlClient {
 public:
  // (user data, bytes per second, reserved 0.0, percent done)
  using ProgressFunction = void (*)(void* userData, double speed, double reserved, double percent);

  // Results of Start() besides 0 (final file in place) and libcurl's positive codes.
  static constexpr int32_t kResultSizeMismatch = -994;    // complete transfer, wrong size
  static constexpr int32_t kResultMoveFailed = -995;      // the partial file could not be moved
  static constexpr int32_t kResultOpenPartFailed = -996;  // ErrorText() says why
  static constexpr int32_t kResultNoHandle = -997;
  static constexpr int32_t kResultNoLength = -998;        // no usable length after both probes
  // Packages smaller than this are refused.
  static constexpr int64_t kMinFileLength = 1048576;

  CurlClient(std::wstring url, std::wstring filePath, void* userData, ProgressFunction progress);
  // Deletes the partial file and stops a running transfer; the owner joins its worker
  // before destroying the client.
  ~CurlClient();
  CurlClient(const CurlClient&) = delete;
  CurlClient& operator=(const CurlClient&) = delete;

  // The file path, followed by ".part" when `part` is true.
  std::wstring GetFilePath(bool part) const;
  // Downloads the file completely or fails (see the results above). Never leaves an
  // incomplete file under the final name.
  int32_t Start();
  // Aborts the running transfer at its next progress call (result 42) and every later one.
  void Stop() { m_Stop = true; }

  // libcurl's transfer-progress callback; `client` is the CurlClient. 1 aborts.
  static int ProgressCallback(void* client, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal,
                              curl_off_t ulnow);
  // Header-only request, performed; the handle is returned also after a failed request
  // (null only when none could be made) so that its information can be read.
  UniqueCurl Head(const std::string& url);
  // libcurl's effective URL of the handle; empty when it gives none.
  static std::string GetEffectiveUrl(CURL* handle);
  // The length from a performed request; -1.0 when none was sent or the status is not
  // 2xx/3xx (then the probe failure is reported to analytics).
  double GetDownloadFileLength(CURL* handle);
  double GetDownloadFileLength_Str(const std::string& url);
  // The final URL behind redirects, or `url` when none was obtained.
  std::string GetRealUrl_Str(const std::string& url);

  const std::string& RealUrl() const { return m_RealUrl; }
  double FileLength() const { return m_FileLength; }
  int64_t ResumeOffset() const { return m_ResumeOffset; }
  const std::wstring& ErrorText() const { return m_ErrorText; }

 private:
  static constexpr int64_t kReportIntervalSeconds = 1;
  // The narrow URL handed to libcurl: UTF-8, or the ANSI code page for "file:///".
  std::string NarrowUrl() const;
  // The length of a performed request when its read succeeded and its status is
  // 2xx/3xx; otherwise reports the probe failure and gives -1.0.
  double UsableLength(CURL* handle, CURLcode read, curl_off_t length);
  // Opens the partial file and runs the transfer; `performed` is false when no
  // transfer was attempted (the result is then -997 or -996).
  int32_t Transfer(const std::wstring& partPath, bool& performed, bool& flushed);
  // Moves a complete partial file to the final name, or sets up the next attempt.
  int32_t FinishTransfer(int32_t result, bool flushed, const std::wstring& partPath, const std::wstring& finalPath);

  std::wstring m_Url;
  std::wstring m_FilePath;
  void* m_UserData;
  CURL* m_Handle = nullptr;  // the running transfer (not the probes)
  ProgressFunction m_Progress;
  double m_FileLength = -1.0;
  int64_t m_ResumeOffset = -1;
  int64_t m_LastReportTime = 0;
  std::atomic<bool> m_Stop{false};
  std::wstring m_ErrorText;
  std::string m_RealUrl;
};
