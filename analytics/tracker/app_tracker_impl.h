#pragma once
// The tracker implementation: validates and builds each event, queues it in the SDK
// core and decides when to send. Track operations may throw VxException.
// Flushes run on the caller's thread after a successful send, otherwise on a new
// thread that the caller does not wait for; the destructor joins those threads
// before it sends, stages and tears anything down.
#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "analytics/sdk/value_node.h"
#include "analytics/tracker/app_tracker.h"
#include "analytics/tracker/native_track_logger.h"
#include "analytics/tracker/tracker_handle.h"
#include "analytics/tracker/tracker_state.h"

namespace vexlo::analytics {

class AppTrackerImpl : public AppTracker {
 public:
  static constexpr int kFlushAttempts = 3;
  static constexpr uint32_t kFlushRetrySleepMs = 1;
  static constexpr const char* kAsyncFlushMessage = "[Analytics] Sending messages asynchronously";
  static constexpr const char* kSdkVersion = "3.3.8";
  static constexpr const char* kLogFileSuffix = "_VXSLog.txt";
  static constexpr const char* kStagingFileSuffix = "_VXSRecords.txt";

  explicit AppTrackerImpl(const TrackerParams& params);
  ~AppTrackerImpl() override;
  AppTrackerImpl(const AppTrackerImpl&) = delete;
  AppTrackerImpl& operator=(const AppTrackerImpl&) = delete;

  // Raises VxException (function "init") on a missing app name, version or store, a
  // refused SDK start, or an edition outside its table.
  void init();

  VX_TRACK_OPERATIONS(VX_DECLARE_TRACK_OPERATION)
  void setLocale(const std::string& locale) override;
  std::string getDistinctId() override;
  TrackLogger* getLogger() override { return m_Logger.get(); }

  const TrackerState& state() const { return *m_State; }
  int pendingCount() const { return m_State->pendingCount.load(); }
  // Waits for every flush thread started so far (tests).
  void WaitForFlushJobs();

 private:
  struct FlushThread {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };

  void FlushAfterTrack(bool flushNow);
  void FlushJob(bool flushNow);
  void Track(const char* eventName, track_sdk::PropertiesNode& properties, int event,
             const VxContextProperties* context, int count, bool flushNow);
  void ApplyLocale(const std::string& locale, track_sdk::PropertiesNode& properties);
  void WriteActivityProfile();

  std::string m_ServerUrl;
  std::string m_AppName;
  std::string m_AppVersion;
  std::string m_AppStore;
  std::string m_DlAppId;
  std::string m_DlAppVersion;
  int m_Edition;
  std::unique_ptr<NativeTrackLogger> m_Logger;
  std::unique_ptr<TrackerState> m_State;
  bool m_SdkStarted = false;

  std::recursive_mutex m_StateLock;  // identity and settings file
  std::mutex m_FlushThreadsLock;
  std::list<FlushThread> m_FlushThreads;
};

// Held for every FlushJob run of every tracker.
std::mutex& FlushMutex();

}  // namespace vexlo::analytics
