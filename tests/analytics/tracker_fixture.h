#pragma once
// A tracker whose settings live in a fresh temporary folder: the pointer file beside
// the test executable names a settings file there.
#include <gtest/gtest.h>

#include <string>

#include "analytics/sdk/sdk.h"
#include "analytics/sdk/send_batch.h"
#include "analytics/tracker/app_tracker_wrapper.h"
#include "analytics/tracker/tracker_handle.h"
#include "tests/support/test_support.h"

namespace AnalyticsTest {

class TrackerFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  vexlo::analytics::TrackerParams Params(const std::string& serverUrl) const;
  // CreateTracker with Params(serverUrl), adjusted by the caller's edit.
  vexlo::analytics::AppTrackerImpl* Start(const vexlo::analytics::TrackerParams& params);
  vexlo::analytics::AppTrackerImpl* Start(const std::string& serverUrl) { return Start(Params(serverUrl)); }
  vexlo::analytics::AppTrackerImpl* Impl() const;
  void WaitForFlushJobs() const;

  std::wstring DataDir() const { return m_Dir.File(L"vx"); }
  std::wstring SettingsFile() const;
  std::wstring StagingFile() const;
  std::wstring Setting(const wchar_t* section, const wchar_t* key) const;
  // After the flush jobs are over: queued record texts whose event is `eventName` (or of type profile_* for "profile").
  std::vector<std::string> Queued(const std::string& eventName) const;

  static constexpr const char* kAppName = "TestApp";
  TestSupport::TempDir m_Dir;
  std::wstring m_PointerFile;
};

// A server that refuses every connection at once.
constexpr const char* kUnreachableUrl = "http://127.0.0.1:1/sa";

}  // namespace AnalyticsTest
