#pragma once
// What the system download service's progress object shares on every platform: a
// copy of the status callback (refreshed by Start while a transfer runs), the abort
// flag set when the downloader goes, and the forwarding of progress notifications.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "download/status_callback.h"

class BindProgress {
 public:
  void SetCallback(const StatusCallback& callback);
  void Abort() { m_Abort = true; }
  bool Aborted() const { return m_Abort; }
  // One progress notification of the service: reports progress / maximum when the
  // maximum is known. False when the transfer must be aborted.
  bool Forward(uint64_t progress, uint64_t maximum);

 private:
  std::mutex m_Lock;
  StatusCallback m_Callback;
  std::atomic<bool> m_Abort{false};
};
