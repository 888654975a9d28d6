#include "analytics/tracker/tracker_handle.h"

#include <mutex>

#include "analytics/tracker/app_tracker_wrapper.h"

namespace vexlo::analytics {

namespace {
std::mutex g_HandleLock;
std::shared_ptr<AppTracker> g_Handle;
}  // namespace

std::shared_ptr<AppTracker> TrackerHandle::Get() {
  std::lock_guard<std::mutex> lock(g_HandleLock);
  return g_Handle;
}

void TrackerHandle::Set(std::shared_ptr<AppTracker> tracker) {
  std::shared_ptr<AppTracker> previous;
  {
    std::lock_guard<std::mutex> lock(g_HandleLock);
    previous = std::move(g_Handle);
    g_Handle = std::move(tracker);
  }
  previous.reset();  // may send and stage: never under the lock
}

void CreateTracker(const TrackerParams& params) {
  ReleaseTracker();
  auto impl = std::make_unique<AppTrackerImpl>(params);
  try {
    impl->init();
  } catch (...) {
    // A half-initialised tracker is still published; it never throws to its callers.
  }
  TrackerHandle::Set(std::make_shared<AppTrackerWrapper>(std::move(impl)));
}

void ReleaseTracker() { TrackerHandle::Set(nullptr); }

}  // namespace vexlo::analytics
