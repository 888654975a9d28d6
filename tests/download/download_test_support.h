#pragma once
// What the download tests share: status recording, sleep and probe-report capture,
// the loopback servers' URLs and the packages they serve.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "download/downloader.h"
#include "download/status_callback.h"
#include "download/status_codes.h"
#include "tests/support/status_log.h"

namespace DownloadTest {

using TestSupport::SleepLog;
using TestSupport::Status;
using TestSupport::StatusLog;

struct ProbeReport {
  std::wstring name;
  float elapsed;
  std::wstring reason;
  std::map<std::wstring, std::wstring> properties;
};
// Captures the probe-failure task events for its lifetime.
class ProbeReportLog {
 public:
  ProbeReportLog();
  ~ProbeReportLog();
  std::vector<ProbeReport> All() const;

 private:
  mutable std::mutex m_Lock;
  std::vector<ProbeReport> m_Reports;
};

// Captures every trace line for its lifetime.
class TraceLog {
 public:
  TraceLog();
  ~TraceLog();
  bool Contains(const std::wstring& text) const;
  // A line written by `function` (as the trace names it) whose message contains `text`.
  bool Contains(const std::wstring& function, const std::wstring& text) const;

 private:
  mutable std::mutex m_Lock;
  std::vector<std::wstring> m_Lines;
};

// Starts the downloader, lets its transfer run for `settle`, then destroys it: the
// teardown must be quick and no status may follow DL_CODE_START (gtest expectations).
void ExpectCleanDestructionMidTransfer(std::unique_ptr<CDownloader> downloader, StatusLog& log,
                                       std::chrono::milliseconds settle);

// nginx: NginxUrl(L"/software/pkg_1048576.exe").
std::wstring NginxUrl(const std::wstring& path);
std::wstring PackageName(int64_t size);
// The package file nginx serves, and its MD5.
std::wstring SourcePackage(int64_t size);
std::string SourceMd5(int64_t size);
// Fault server: /f/<faults>/<directory>/pkg_<size>.exe; the directory defaults to the
// package's MD5. UniqueId() makes the per-test counters and log of the server private.
std::wstring FaultUrl(const std::string& faults, int64_t size, const std::string& directory = "");
std::string UniqueId();
// The requests the fault server saw for an id: "GET bytes=0-99", "HEAD -".
std::vector<std::string> FaultRequests(const std::string& id);
std::vector<std::string> FaultGets(const std::string& id);
// A loopback URL on which nothing listens.
std::wstring DeadUrl();

bool Exists(const std::wstring& path);

}  // namespace DownloadTest
