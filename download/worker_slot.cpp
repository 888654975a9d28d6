#include "download/worker_slot.h"

#include "download/status_codes.h"

namespace {
thread_local const WorkerSlot* t_Slot = nullptr;
}

WorkerSlot::~WorkerSlot() { Close(); }

bool WorkerSlot::OnWorker() const { return t_Slot == this; }

bool WorkerSlot::Restart(void* parameter, Utils::Thread::Body body) {
  std::unique_ptr<Utils::Thread> finished;
  std::unique_lock<std::mutex> lock(m_Lock);
  if (m_Closed) return false;
  if (OnWorker()) {
    // The retired one returned from its body long ago; this thread becomes the retired one.
    finished = std::move(m_Retired);
    m_Retired = std::move(m_Current);
  } else {
    finished = std::move(m_Current);
  }
  if (finished) finished->Join();
  auto wrapped = [this, body = std::move(body)](void* p) -> uint32_t {
    t_Slot = this;
    const uint32_t result = body(p);
    t_Slot = nullptr;
    return result;
  };
  m_Current = std::make_unique<Utils::Thread>(parameter, kDownloadThreadName, std::move(wrapped));
  if (!m_Current->IsValid()) {
    m_Current.reset();
    return false;
  }
  m_Current->Resume();
  return true;
}

void WorkerSlot::Close() {
  std::unique_ptr<Utils::Thread> current, retired;
  {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Closed = true;
    current = std::move(m_Current);
    retired = std::move(m_Retired);
  }
  // Joined outside the lock: a worker inside a status callback may be calling Restart.
  if (current) current->Join();
  if (retired) retired->Join();
}
