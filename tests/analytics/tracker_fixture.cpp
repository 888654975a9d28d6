#include "tests/analytics/tracker_fixture.h"

#include "utils/os.h"
#include "utils/text.h"

namespace AnalyticsTest {

using namespace vexlo::analytics;

void TrackerFixture::SetUp() {
  ReleaseTracker();
  track_sdk::SetLastSendOk(false);
  m_PointerFile = Utils::JoinPath(Utils::DirectoryPart(Utils::GetModulePath()), L"Set.ini");
  ASSERT_TRUE(Utils::WriteProfileString(m_PointerFile, L"Install", L"VXAnalyticsIni", SettingsFile()));
}

void TrackerFixture::TearDown() {
  ReleaseTracker();
  Utils::DeleteFilePath(m_PointerFile);
  Utils::SetSleepHookForTesting(nullptr);
  track_sdk::SetLastSendOk(false);
}

std::wstring TrackerFixture::SettingsFile() const { return Utils::JoinPath(DataDir(), L"settings.ini"); }

std::wstring TrackerFixture::StagingFile() const {
  return Utils::JoinPath(DataDir(), Utils::MultiByteToWide(std::string(kAppName) + "_VXSRecords.txt", 65001));
}

std::wstring TrackerFixture::Setting(const wchar_t* section, const wchar_t* key) const {
  return Utils::GetProfileString(SettingsFile(), section, key, L"<missing>");
}

TrackerParams TrackerFixture::Params(const std::string& serverUrl) const {
  TrackerParams params;
  params.appName = kAppName;
  params.appVersion = "1.7.9";
  params.appStore = "setup.exe";
  params.dlAppId = "Parlino";
  params.serverUrl = serverUrl;
  return params;
}

AppTrackerImpl* TrackerFixture::Start(const TrackerParams& params) {
  CreateTracker(params);
  return Impl();
}

AppTrackerImpl* TrackerFixture::Impl() const {
  auto* wrapper = dynamic_cast<AppTrackerWrapper*>(TrackerHandle::Get().get());
  return wrapper ? wrapper->impl() : nullptr;
}

void TrackerFixture::WaitForFlushJobs() const {
  if (auto* impl = Impl()) impl->WaitForFlushJobs();
}

std::vector<std::string> TrackerFixture::Queued(const std::string& eventName) const {
  // A flush job in flight holds its batch outside the queue until it fails.
  WaitForFlushJobs();
  std::vector<std::string> out;
  for (const std::string& record : track_sdk::Sdk::QueuedRecords()) {
    const bool match = eventName == "profile" ? record.find("\"type\":\"profile_") != std::string::npos
                                              : record.find("\"event\":\"" + eventName + "\"") != std::string::npos;
    if (match) out.push_back(record);
  }
  return out;
}

}  // namespace AnalyticsTest
