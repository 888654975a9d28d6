// Tracker lifecycle: start, half-initialised trackers, when records are sent, release,
// and the identity kept in the settings file.
#include <gtest/gtest.h>

#include <mutex>
#include <regex>

#include "analytics/tracker/guid.h"
#include "analytics/tracker/tracker_state.h"
#include "tests/analytics/receiver_client.h"
#include "tests/analytics/tracker_fixture.h"
#include "utils/debug_log.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

using namespace vexlo::analytics;
using namespace AnalyticsTest;

namespace {

VxEventClick Click(const std::string& name) {
  VxEventClick click;
  click.name = name;
  return click;
}

// Counts the "[Analytics] Sending messages asynchronously" trace lines.
class AsyncMessageCounter {
 public:
  AsyncMessageCounter() {
    Utils::SetTraceSink([this](const std::wstring& line) {
      if (line == L"[Analytics] Sending messages asynchronously") {
        std::lock_guard<std::mutex> lock(m_Lock);
        ++m_Count;
      }
    });
  }
  ~AsyncMessageCounter() { Utils::SetTraceSink(nullptr); }
  int Count() {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Count;
  }

 private:
  std::mutex m_Lock;
  int m_Count = 0;
};

using TrackerTest = TrackerFixture;

}  // namespace

TEST_F(TrackerTest, InitFailuresLeaveAQuietHalfInitialisedTracker) {
  struct Row {
    const char* name;
    std::function<void(TrackerParams&)> edit;
  } rows[] = {
      {"empty app name", [](TrackerParams& p) { p.appName.clear(); }},
      {"empty app version", [](TrackerParams& p) { p.appVersion.clear(); }},
      {"empty app store", [](TrackerParams& p) { p.appStore.clear(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TrackerParams params = Params(kUnreachableUrl);
    row.edit(params);
    AppTrackerImpl* impl = Start(params);
    ASSERT_NE(impl, nullptr);
    EXPECT_EQ(impl->getLogger(), nullptr);
    EXPECT_FALSE(track_sdk::Sdk::IsRunning());
    auto tracker = TrackerHandle::Get();
    ::testing::internal::CaptureStdout();
    tracker->trackClick(Click(""), VxContextProperties());  // throws inside, silently
    tracker->trackClick(Click("ok"), VxContextProperties());
    tracker->trackCrash("x");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    tracker.reset();
    ReleaseTracker();
    EXPECT_FALSE(Utils::PathExists(SettingsFile()));
    EXPECT_FALSE(Utils::PathExists(StagingFile()));
  }
}

TEST_F(TrackerTest, WrapperPrintsOneLinePerFailedCallOnceALoggerExists) {
  TrackerParams params = Params(kUnreachableUrl);
  params.edition = 7;  // fails after the logger and the SDK core exist
  AppTrackerImpl* impl = Start(params);
  ASSERT_NE(impl, nullptr);
  ASSERT_NE(impl->getLogger(), nullptr);
  EXPECT_TRUE(track_sdk::Sdk::IsRunning());
  auto tracker = TrackerHandle::Get();
  EXPECT_EQ(tracker->getLogger(), nullptr);
  ::testing::internal::CaptureStdout();
  tracker->trackClick(Click(""), VxContextProperties());
  tracker->trackAppOpenNotification(nullptr, VxContextProperties());
  tracker->trackView(VxEventView{"", "v", "", ""}, VxContextProperties());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Failed to trackClick\nFailed to trackAppOpenNotification\n");
  EXPECT_EQ(Queued("VxEventView").size(), 1u);
}

TEST_F(TrackerTest, FirstFlushIsDetachedAndAfterASuccessfulSendFlushesRunInline) {
  const std::string channel = NewChannel("inline");
  AsyncMessageCounter async;
  AppTrackerImpl* impl = Start(ReceiverUrl(channel));
  auto tracker = TrackerHandle::Get();
  tracker->trackClick(Click("a"), VxContextProperties());
  EXPECT_EQ(async.Count(), 1);
  impl->WaitForFlushJobs();
  EXPECT_EQ(impl->pendingCount(), 2);  // the click's own 1 and its flush job's 1
  tracker->trackCrash("boom");
  EXPECT_EQ(async.Count(), 2);
  impl->WaitForFlushJobs();
  EXPECT_EQ(RequestCounts(channel), std::vector<int>{2});
  EXPECT_EQ(impl->pendingCount(), 0);
  ASSERT_TRUE(track_sdk::LastSendOk());

  tracker->trackClick(Click("b"), VxContextProperties());
  tracker->trackCrash("again");  // runs and sends on this thread
  EXPECT_EQ(async.Count(), 2);
  EXPECT_EQ(RequestCounts(channel), (std::vector<int>{2, 2}));
}

TEST_F(TrackerTest, ClicksWaitForAFlushingEventThatSendsThemTogether) {
  const std::string channel = NewChannel("together");
  AppTrackerImpl* impl = Start(ReceiverUrl(channel));
  auto tracker = TrackerHandle::Get();
  for (const char* name : {"a", "b", "c"}) tracker->trackClick(Click(name), VxContextProperties());
  impl->WaitForFlushJobs();
  EXPECT_TRUE(ReceivedRequests(channel).empty());
  tracker->trackUninstall("why", VxContextProperties());
  impl->WaitForFlushJobs();
  EXPECT_EQ(RequestCounts(channel), std::vector<int>{4});
}

TEST_F(TrackerTest, NothingPendingMeansNothingSentAndTheRecordIsFirstOnTheNextRun) {
  const std::string channel = NewChannel("nextrun");
  AppTrackerImpl* impl = Start(ReceiverUrl(channel));
  TrackerHandle::Get()->trackCrash("first run");
  impl->WaitForFlushJobs();
  EXPECT_TRUE(ReceivedRequests(channel).empty());
  ReleaseTracker();  // pendingCount 0: no send at release either, the record is staged
  const auto staged = FileLines(StagingFile());
  ASSERT_EQ(staged.size(), 1u);
  EXPECT_TRUE(Contains(staged[0], "\"app_crashed_reason\":\"first run\""));

  impl = Start(ReceiverUrl(channel));
  auto tracker = TrackerHandle::Get();
  tracker->trackClick(Click("second run"), VxContextProperties());
  impl->WaitForFlushJobs();
  tracker->trackCrash("second run");
  impl->WaitForFlushJobs();
  const auto received = ReceivedRecords(channel);
  ASSERT_EQ(received.size(), 3u);
  EXPECT_TRUE(Contains(received[0], "\"app_crashed_reason\":\"first run\""));
  EXPECT_TRUE(Contains(received[1], "\"vx_name\":\"second run\""));
}

TEST_F(TrackerTest, ReleaseTriesThreeTimesThenStages) {
  const std::string channel = NewChannel("release");
  AppTrackerImpl* impl = Start(ReceiverUrl(channel, "status/500"));
  auto tracker = TrackerHandle::Get();
  tracker->trackClick(Click("a"), VxContextProperties());
  tracker->trackClick(Click("b"), VxContextProperties());
  impl->WaitForFlushJobs();
  EXPECT_TRUE(ReceivedRequests(channel).empty());
  tracker.reset();
  ReleaseTracker();
  EXPECT_EQ(RequestCounts(channel), (std::vector<int>{2, 2, 2}));
  const auto staged = FileLines(StagingFile());
  ASSERT_EQ(staged.size(), 2u);
  EXPECT_TRUE(Contains(staged[0], "\"vx_name\":\"a\""));
  EXPECT_TRUE(Contains(staged[1], "\"vx_name\":\"b\""));
}

TEST_F(TrackerTest, FlushJobMakesThreeAttemptsOneMillisecondApart) {
  std::mutex lock;
  std::vector<uint32_t> sleeps;
  Utils::SetSleepHookForTesting([&](uint32_t ms) {
    std::lock_guard<std::mutex> guard(lock);
    sleeps.push_back(ms);
  });
  const std::string channel = NewChannel("retry");
  AppTrackerImpl* impl = Start(ReceiverUrl(channel, "status/500"));
  auto tracker = TrackerHandle::Get();
  tracker->trackClick(Click("a"), VxContextProperties());  // flush job without sending: one sleep
  impl->WaitForFlushJobs();
  tracker->trackCrash("c");
  impl->WaitForFlushJobs();
  EXPECT_EQ(RequestCounts(channel), (std::vector<int>{2, 2, 2}));
  std::vector<uint32_t> seen;
  {
    std::lock_guard<std::mutex> guard(lock);
    seen = sleeps;
  }
  // The hook captures locals: no flush job may reach it after this test returns.
  tracker.reset();
  ReleaseTracker();
  Utils::SetSleepHookForTesting(nullptr);
  EXPECT_EQ(seen, (std::vector<uint32_t>{1, 1, 1, 1}));
}

TEST_F(TrackerTest, FirstRunMakesOneIdentityForThisServer) {
  const std::string url = ReceiverUrl(NewChannel("identity"));
  AppTrackerImpl* impl = Start(url);
  const std::wstring distinct = Setting(L"Base", L"DistinctId");
  EXPECT_TRUE(std::regex_match(Utils::WideToUtf8(distinct),
                               std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}")))
      << Utils::WideToUtf8(distinct);
  EXPECT_EQ(Setting(L"Base", L"PrimaryDistinctId"), distinct);
  EXPECT_EQ(Setting(L"Base", L"URL"), Utils::MultiByteToWide(url, 65001));
  EXPECT_EQ(Setting(L"Base", L"isLogined"), L"NG");
  EXPECT_EQ(Setting(L"Base", L"UserId"), L"");
  EXPECT_EQ(Setting(L"UninstallInfo", L"AppStore"), L"setup.exe");
  EXPECT_EQ(Setting(L"UninstallInfo", L"AppName"), L"TestApp");
  EXPECT_EQ(Setting(L"UninstallInfo", L"AppVersion"), L"1.7.9");
  EXPECT_EQ(TrackerHandle::Get()->getDistinctId(), Utils::WideToUtf8(distinct));
  EXPECT_TRUE(impl->getLogger() != nullptr);
  EXPECT_TRUE(Utils::PathExists(Utils::JoinPath(DataDir(), L"TestApp_VXSLog.txt")));
}

TEST_F(TrackerTest, IdentityOfAnotherServerIsLoggedOutAndALoginSurvivesARestart) {
  const std::string url = ReceiverUrl(NewChannel("identity"));
  const std::wstring file = SettingsFile();
  Utils::CreateDirectoryTree(DataDir());
  const struct {
    const wchar_t* key;
    const wchar_t* value;
  } stored[] = {{L"DistinctId", L"user-7"}, {L"PrimaryDistinctId", L"PRIMARY-1"}, {L"UserId", L"user-7"},
                {L"UserVipLevel", L"2"},    {L"isLogined", L"OK"},             {L"URL", L"http://elsewhere/sa"}};
  for (const auto& entry : stored) Utils::WriteProfileString(file, L"Base", entry.key, entry.value);

  Start(url);
  EXPECT_EQ(Setting(L"Base", L"UserId"), L"");
  EXPECT_EQ(Setting(L"Base", L"isLogined"), L"NG");
  EXPECT_EQ(Setting(L"Base", L"DistinctId"), L"PRIMARY-1");
  EXPECT_EQ(Setting(L"Base", L"URL"), Utils::MultiByteToWide(url, 65001));
  ReleaseTracker();

  // Same server, logged in: the identity stays and the user id is a super property.
  Utils::WriteProfileString(file, L"Base", L"UserId", L"user-8");
  Utils::WriteProfileString(file, L"Base", L"DistinctId", L"user-8");
  Utils::WriteProfileString(file, L"Base", L"isLogined", L"OK");
  Start(url);
  EXPECT_EQ(Setting(L"Base", L"UserId"), L"user-8");
  EXPECT_EQ(Setting(L"Base", L"isLogined"), L"OK");
  EXPECT_EQ(track_sdk::Sdk::DistinctId(), "user-8");
  TrackerHandle::Get()->trackClick(Click("x"), VxContextProperties());
  const auto clicks = Queued("VxEventClick");
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_TRUE(Contains(clicks[0], "\"vx_user_id\":\"user-8\"")) << clicks[0];
  EXPECT_TRUE(Contains(clicks[0], "\"$is_login_id\":true"));
  EXPECT_TRUE(Contains(clicks[0], "\"distinct_id\":\"user-8\""));
}

TEST_F(TrackerTest, PresetSuperPropertiesGoIntoEveryEvent) {
  TrackerParams params = Params(kUnreachableUrl);
  params.dlAppVersion = "2.0";
  Start(params);
  TrackerHandle::Get()->setLocale("de_AT");
  TrackerHandle::Get()->trackClick(Click("x"), VxContextProperties());
  const auto clicks = Queued("VxEventClick");
  ASSERT_EQ(clicks.size(), 1u);
  for (const char* part :
       {"\"$app_id\":\"TestApp\"", "\"$app_version\":\"1.7.9\"", "\"$lib\":\"cpp\"", "\"$lib_version\":\"0.9\"",
        "\"$os\":\"Windows\"", "\"$os_version\":\"", "\"$screen_height\":", "\"$screen_width\":",
        "\"vx_app_id\":\"TestApp\"", "\"vx_app_platform\":\"Windows\"", "\"vx_app_store\":\"setup.exe\"",
        "\"vx_dlapp_id\":\"Parlino\"", "\"vx_dlapp_version\":\"2.0\"", "\"vx_edition\":\"china\"",
        "\"vx_l10n_country\":\"AT\"", "\"vx_l10n_language\":\"de\"", "\"vx_l10n_locale\":\"de_AT\"",
        "\"vx_sdk\":\"WindowsCPP\"", "\"vx_sdk_version\":\"3.3.8\"", "\"vx_track_type\":\"Client\""}) {
    EXPECT_TRUE(Contains(clicks[0], part)) << part << " in " << clicks[0];
  }
  EXPECT_FALSE(Contains(clicks[0], "vx_user_id"));
}

TEST(TrackerStateTest, PointerFileChoosesTheSettingsFile) {
  TestSupport::TempDir dir;
  const std::string exe = Utils::WideToUtf8(dir.File(L"setup.exe"));
  const std::string base = Utils::WideToUtf8(dir.File(L"base"));
  const char sep = static_cast<char>(Utils::kPathSeparator);
  struct Row {
    const char* name;
    std::wstring pointer;  // empty: no pointer file
    std::string settings;
  } rows[] = {
      {"no pointer file", L"", base + sep + "VXLocal" + sep + "App" + sep + "App_VXSConfigure.ini"},
      {"no separator in the path", L"plain.ini", base + sep + "VXLocal" + sep + "App" + sep + "App_VXSConfigure.ini"},
      {"full path", dir.File(L"p") + Utils::kPathSeparator + L"s.ini", Utils::WideToUtf8(dir.File(L"p")) + sep + "s.ini"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Utils::DeleteFilePath(dir.File(L"Set.ini"));
    if (!row.pointer.empty()) Utils::WriteProfileString(dir.File(L"Set.ini"), L"Install", L"VXAnalyticsIni", row.pointer);
    TrackerState state;
    state.ResolvePaths("App", exe, base);
    EXPECT_EQ(state.settingsFile, row.settings);
    EXPECT_EQ(state.dataDirectory, row.settings.substr(0, row.settings.rfind(sep) + 1));
    EXPECT_TRUE(Utils::IsDirectory(Utils::MultiByteToWide(state.dataDirectory, 65001)));
  }
}

TEST(GuidTest, FormatsAndFallback) {
  const uint8_t tail[8] = {0x0a, 0xbc, 0, 1, 2, 3, 4, 0xff};
  EXPECT_EQ(FormatGuid(0x1234abcd, 0xbeef, 0x0042, tail), "1234ABCD-BEEF-0042-0ABC-0001020304FF");
  EXPECT_NE(MakeGuid(), MakeGuid());
  const std::string fallback = MakeFallbackGuid();
  EXPECT_TRUE(std::regex_match(fallback, std::regex("[0-9a-f]+-[0-9a-f]+-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]+")))
      << fallback;
  EXPECT_NE(MakeFallbackGuid(), fallback);
}
