#pragma once
// CMTCurlDownloader: probes the package once for its final URL, length and expected
// MD5, downloads at most two byte ranges into part files "<file>_0" and "<file>_1" on
// threads of their own (each range retried), joins them into the target file and
// checks it against the MD5 named by the final URL. A failed run that made progress
// keeps its part files, and the next run resumes them.
//
// Threads: each run's worker ("ABDEF") sets the run up, starts one thread per part,
// joins them and then finishes the run (joining the parts, checking, reporting).
// Teardown: destruction stops every transfer, waits for the worker and its part
// threads and sends no further status; the callback must not destroy the downloader.
// Lengths below 256 bytes or of 2 GiB and more are refused by the probe.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <curl/curl.h>

#include "download/downloader.h"
#include "download/file_io.h"
#include "download/worker_slot.h"

class CMTCurlDownloader : public CDownloader {
 public:
  // Part statuses; a positive value is libcurl's code of the last failed attempt.
  static constexpr int32_t kPartPending = -1;
  static constexpr int32_t kPartComplete = 0;
  static constexpr int32_t kPartFileFailed = -2;
  // The parts were complete but could not be made into the target file.
  static constexpr int32_t kJoinFailed = -3;

  static constexpr int64_t kPartUnit = 10485760;  // files below 2 units are one part
  static constexpr int64_t kMaxParts = 2;
  static constexpr int64_t kMinFileLength = 256;
  static constexpr int64_t kMaxFileLength = 0x7FFFFFFF;  // offsets are 32-bit ranges
  // Early ends (libcurl 18) cost 1, other failures 2: at most 13 or 7 attempts a part.
  static constexpr int kRetryBudget = 12;
  static constexpr int kEarlyEndCost = 1;
  static constexpr int kOtherFailureCost = 2;
  static constexpr uint32_t kRetrySleepMs = 400;
  static constexpr uint32_t kPartStartStaggerMs = 100;
  static constexpr size_t kJoinBlockBytes = 1024;

  struct DownloadPartNode {
    UniqueFile file;
    int64_t nextOffset = 0;  // absolute offset of the next byte to receive
    int64_t endOffset = -1;  // absolute offset of the range's last byte
    UniqueCurl handle;
    std::string url;
    std::wstring partPath;
    int32_t status = kPartPending;
    std::atomic<int64_t> received{0};  // bytes of this part on disk
    CMTCurlDownloader* owner = nullptr;
    bool answerChecked = false;  // the current attempt's status line has been looked at
  };

  // Deletes the target file and both part files; starts nothing.
  CMTCurlDownloader(StatusCallback callback, const std::wstring& url, const std::wstring& filePath);
  ~CMTCurlDownloader() override;
  void Start() override;

  // The file path followed by "_" and the index.
  std::wstring PartFilePath(int index) const;

 private:
  void Start_Down();
  bool getRealDownloadUrl(const std::string& url);
  static void downloadThreadFun(CMTCurlDownloader* downloader, DownloadPartNode* node);
  int downloadExe(DownloadPartNode* node);
  static void waitForFinishThreadFun(CMTCurlDownloader* downloader);
  static size_t WritePart(char* data, size_t size, size_t count, void* node);
  static int PartProgress(void* downloader, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal,
                          curl_off_t ulnow);
  // Appends the further parts to part 0 and moves it to the target; `joined` gets the
  // path of every part appended (the caller traces them).
  bool JoinParts(std::vector<std::wstring>& joined);
  void EndFailedRun(int32_t failure);
  void ClearParts();
  void DeletePartFiles();
  void Report(int32_t code, double value, const wchar_t* text);

  std::vector<std::unique_ptr<DownloadPartNode>> m_Parts;
  std::vector<std::thread> m_PartThreads;
  StatusCallback m_Callback;
  std::wstring m_FilePath;
  std::wstring m_Url;
  std::string m_RealUrl;
  int64_t m_FileLength = -1;
  bool m_Probed = false;  // a probe has succeeded; later runs do not probe again
  std::string m_ExpectedMd5;
  std::mutex m_ProgressLock;  // m_LastPercent and m_LastReportTime while parts run
  double m_LastPercent = 0.0;
  std::atomic<int32_t> m_ActiveParts{0};
  int64_t m_LastReportTime = 0;
  bool m_Retried = false;
  std::atomic<bool> m_Stop{false};
  WorkerSlot m_Worker;  // last member: closed first
};
