#pragma once
// The worker thread of a libcurl downloader across its runs. A run's worker may start
// the next run from inside its own status callback (the orchestration does so on
// DL_CODE_RETRY): a thread cannot wait for itself, so it is set aside and joined by
// the next restart or by Close().
#include <memory>
#include <mutex>

#include "utils/thread.h"

class WorkerSlot {
 public:
  WorkerSlot() = default;
  ~WorkerSlot();  // Close()
  WorkerSlot(const WorkerSlot&) = delete;
  WorkerSlot& operator=(const WorkerSlot&) = delete;

  // Waits for the previous worker (unless called on it), then runs body(parameter) on
  // a new thread named "ABDEF". False after Close() or when no thread could be made.
  bool Restart(void* parameter, Utils::Thread::Body body);
  // Refuses further restarts and waits for every worker. Never call it on a worker.
  void Close();
  // True on a thread that this slot started.
  bool OnWorker() const;

 private:
  std::mutex m_Lock;
  bool m_Closed = false;
  std::unique_ptr<Utils::Thread> m_Current;
  std::unique_ptr<Utils::Thread> m_Retired;  // a worker that restarted from itself
};
