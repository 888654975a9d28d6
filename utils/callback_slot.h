#pragma once
// A process-wide replaceable callback (the trace sink, the sleep hook). Callers take a
// reference for the length of one call; Set waits until every call of the callback it
// replaces has returned, so that whoever installed it may destroy what it captured as
// soon as Set returns. A callback must therefore never call Set itself.
// Keep instances in never-destroyed storage: threads may still call at exit.
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace Utils {

template <typename Fn>
class CallbackSlot {
 public:
  // The current callback, or null. Hold the result only for the call.
  std::shared_ptr<const Fn> Get() const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Current;
  }

  // Installs fn (an empty fn removes the callback) and returns once no call of the
  // previous callback is running.
  void Set(Fn fn) {
    auto next = fn ? std::make_shared<const Fn>(std::move(fn)) : nullptr;
    std::shared_ptr<const Fn> previous;
    {
      std::lock_guard<std::mutex> lock(m_Lock);
      previous = std::exchange(m_Current, std::move(next));
    }
    // Every call in flight holds its own reference; ours is the last one left when
    // they have all returned. Releasing it here orders their ends before our return.
    while (previous && previous.use_count() > 1) std::this_thread::yield();
    previous.reset();
  }

 private:
  mutable std::mutex m_Lock;
  std::shared_ptr<const Fn> m_Current;
};

}  // namespace Utils
