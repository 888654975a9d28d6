#pragma once
// The SDK core: builds self-contained JSON records for events and profile changes,
// checks keys and values, and queues them. One instance per process, created by Init
// and destroyed by Shutdown; every other operation does nothing without it. Never
// throws; refusals are written to standard error and reported as false.
// Record building is serialised by the instance's own lock, so any thread may call.
#include <cstdint>
#include <string>
#include <vector>

#include "analytics/sdk/record_queue.h"
#include "analytics/sdk/value_node.h"

namespace track_sdk {

class Sdk {
 public:
  static constexpr const char* kLibName = "cpp";
  static constexpr const char* kLibVersion = "0.9";

  // False when the distinct id is refused. An existing instance stays unchanged.
  static bool Init(const std::string& stagingPath, const std::string& serverUrl, const std::string& distinctId,
                   bool isLoginId);
  static bool IsRunning();

  static void TrackEvent(const std::string& eventName, const PropertiesNode& properties);
  // Queues a "track_signup" record, then makes loginId the login identity.
  static void SignUp(const std::string& loginId);
  // Direct identity assignment (the tracker after a login).
  static void SetDistinctId(const std::string& distinctId, bool isLoginId);
  static std::string DistinctId();

  static void SetProfile(const PropertiesNode& properties);
  static void SetProfile(const std::string& key, const std::string& value);
  static void SetProfile(const std::string& key, int64_t value);
  static void SetProfile(const std::string& key, double value);
  static void SetProfileOnce(const PropertiesNode& properties);
  static void SetProfileOnce(const std::string& key, const std::string& value);
  static void SetProfileOnce(const std::string& key, int64_t value);
  static void SetProfileOnce(const std::string& key, double value);
  static void IncrementProfile(const PropertiesNode& properties);
  static void IncrementProfile(const std::string& key, int64_t value);
  static void AppendProfile(const std::string& key, const std::string& value);

  static void MergeSuperProperties(const PropertiesNode& properties);
  static PropertiesNode SuperProperties();

  // Central builder; false (nothing queued) when a check refuses.
  static bool AddRecord(const std::string& type, const std::string& eventName, const PropertiesNode& properties,
                        const std::string& distinctId, const std::string& originalId);

  // True once the queue is empty; false at the first failed batch.
  static bool FlushAll();
  // Stages unsent records and destroys the instance.
  static void Shutdown();

  static std::vector<std::string> QueuedRecords();
  static void SetSenderForTesting(RecordQueue::Sender sender);
};

// Three parts joined and parsed: 2 digits, 3 digits, and the last 4 digits of the
// current time in milliseconds. At most 9 digits.
int64_t MakeTrackId(uint32_t random1, uint32_t random2, int64_t nowMs);

}  // namespace track_sdk
