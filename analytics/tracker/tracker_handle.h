#pragma once
// The process-wide tracker: CreateTracker publishes one, ReleaseTracker drops it.
// Reports from any thread take a reference with TrackerHandle::Get(), so a release
// during a report only ends the tracker once that report is done.
#include <memory>
#include <string>

#include "analytics/tracker/app_tracker.h"

namespace vexlo::analytics {

struct TrackerParams {
  std::string appName;
  std::string appVersion;
  std::string appStore;
  std::string dlAppId;
  std::string dlAppVersion;
  std::string logFilePath;  // empty: the tracker's default
  int edition = 0;
  std::string serverUrl;  // empty: kDefaultServerUrl
};

// The analytics server's endpoint used when no URL is given.
constexpr const char* kDefaultServerUrl = "http://sa.vexlo.com/sa?project=pc";

class TrackerHandle {
 public:
  static std::shared_ptr<AppTracker> Get();
  // Replaces the published tracker; the old one is destroyed outside the lock once
  // its last reference is gone.
  static void Set(std::shared_ptr<AppTracker> tracker);
};

// Starts a tracker and publishes it, even when its initialisation failed (a half
// initialised tracker queues nothing and never throws). A tracker published before
// is released first, so its unsent records are staged before the new one loads them.
void CreateTracker(const TrackerParams& params);
void ReleaseTracker();

}  // namespace vexlo::analytics
