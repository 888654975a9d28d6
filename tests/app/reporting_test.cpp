// The installer's reporting functions end to end: configuration -> tracker ->
// local analytics receiver.
#include "app/reporting.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "analytics/sdk/send_batch.h"
#include "analytics/tracker/tracker_handle.h"
#include "app/installer_config.h"
#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/text.h"

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class ReportingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    curl_global_init(CURL_GLOBAL_ALL);
    m_Saved = GetInstallerConfig();
    m_PointerFile = Utils::JoinPath(Utils::DirectoryPart(Utils::GetModulePath()), L"Set.ini");
    Utils::WriteProfileString(m_PointerFile, L"Install", L"VXAnalyticsIni", m_Dir.File(L"vx.ini"));
    const auto port = TestSupport::TestServerPort("analytics_receiver");
    ASSERT_TRUE(port.has_value()) << "the analytics_receiver fixture is not running";
    m_Channel = "reporting_" + std::to_string(Utils::CurrentProcessId()) + "_" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000);
    TestSupport::SetEnvVar("PARLINO_ANALYTICS_URL",
                           Utils::MultiByteToWide(TestSupport::ServerBaseUrl(*port) + "/c/" + m_Channel + "/sa",
                                                  Utils::kCodePageUtf8));
  }
  void TearDown() override {
    ReleaseTracker();
    GetInstallerConfig() = m_Saved;
    Utils::DeleteFilePath(m_PointerFile);
    TestSupport::SetEnvVar("PARLINO_ANALYTICS_URL", std::nullopt);
    curl_global_cleanup();
  }
  std::vector<std::string> Received() const {
    return TestSupport::FileLines(Utils::JoinPath(Utils::JoinPath(TestSupport::BinaryDir(), L"analytics_received"),
                                 Utils::MultiByteToWide(m_Channel + ".jsonl", Utils::kCodePageUtf8)));
  }
  const PropertyMap kAb = {{L"AB", L"IN"}};
  InstallerConfig m_Saved;
  TestSupport::TempDir m_Dir;
  std::wstring m_PointerFile;
  std::string m_Channel;
};

}  // namespace

TEST_F(ReportingTest, EveryKindArrivesWithTheAbLabel) {
  GetInstallerConfig().m_IsEnableAnalytics = true;
  GetInstallerConfig().m_DlAppVersion = L"2.1";
  StartTracker();
  ReportTaskEvent(L"大包下载完毕", 12.5f, L"", kAb);
  ReportTaskEvent(L"下载失败原因", 0, L"1.获取文件大小的状态码为=404；", kAb);
  ReportClickEvent(kAb, L"立即安装");
  ReportViewEvent(kAb);
  ReportCrashEvent();
  ReleaseTracker();
  const auto records = Received();
  ASSERT_EQ(records.size(), 5u);
  EXPECT_TRUE(Has(records[0], "\"vx_task_name\":\"大包下载完毕\"")) << records[0];
  EXPECT_TRUE(Has(records[0], "\"vx_task_elapsed\":12.5"));
  EXPECT_TRUE(Has(records[0], "\"vx_task_result\":\"Success\""));
  EXPECT_TRUE(Has(records[1], "\"vx_task_elapsed\":0"));
  EXPECT_TRUE(Has(records[1], "\"vx_reason\":\"1.获取文件大小的状态码为=404；\""));
  EXPECT_TRUE(Has(records[2], "\"vx_name\":\"立即安装\"") && Has(records[2], "\"vx_click_type\":\"Button\""));
  EXPECT_TRUE(Has(records[3], "\"event\":\"VxEventView\"") && Has(records[3], "\"vx_name\":\"安装中\""));
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(Has(records[i], "\"vxc_ab\":\"IN\"")) << records[i];
  EXPECT_TRUE(Has(records[4], "\"app_crashed_reason\":\"崩溃\""));
  EXPECT_FALSE(Has(records[4], "vxc_ab"));
  for (const std::string& record : records) {
    EXPECT_TRUE(Has(record, "\"vx_app_id\":\"Parlino.downloader\"")) << record;
    EXPECT_TRUE(Has(record, "\"vx_dlapp_id\":\"Parlino\""));
    EXPECT_TRUE(Has(record, "\"vx_dlapp_version\":\"2.1\""));
    EXPECT_TRUE(Has(record, "\"$app_version\":\"1.7.9\""));
  }
}

TEST_F(ReportingTest, RefusedAbLabelsNeverReachTheCaller) {
  GetInstallerConfig().m_IsEnableAnalytics = true;
  StartTracker();
  const PropertyMap rows[] = {{{L"AB", L"ab"}}, {{L"AB", L"ABCD"}}, {{L"AB", L""}}, {{L"other", L"IN"}}, {}};
  for (const PropertyMap& properties : rows) ReportClickEvent(properties, L"x");
  ReleaseTracker();
  const auto records = Received();
  ASSERT_EQ(records.size(), 5u);
  for (const std::string& record : records) EXPECT_FALSE(Has(record, "vxc_ab")) << record;
}

TEST_F(ReportingTest, NothingHappensWhenAnalyticsIsOffOrNoTrackerRuns) {
  GetInstallerConfig().m_IsEnableAnalytics = false;
  StartTracker();
  EXPECT_EQ(vexlo::analytics::TrackerHandle::Get(), nullptr);
  ReportTaskEvent(L"t", 0, L"", kAb);
  ReportClickEvent(kAb, L"c");
  ReportViewEvent(kAb);
  ReportCrashEvent();
  GetInstallerConfig().m_IsEnableAnalytics = true;  // enabled, but never started
  ReportClickEvent(kAb, L"c");
  ReportCrashEvent();
  ReleaseTracker();
  EXPECT_TRUE(Received().empty());
}

TEST_F(ReportingTest, EngineReportCommandSendsOneEventOfEachKind) {
  const auto engine = Utils::GetEnv(L"PARLINO_ENGINE");
  if (!engine) GTEST_SKIP() << "PARLINO_ENGINE is not set";
#ifdef _WIN32
  GTEST_SKIP() << "the engine's black-box run is checked natively";
#else
  // The engine runs from its own folder: point its tracker at a settings file there too.
  const std::wstring enginePointer = Utils::JoinPath(Utils::DirectoryPart(*engine), L"Set.ini");
  Utils::WriteProfileString(enginePointer, L"Install", L"VXAnalyticsIni", m_Dir.File(L"engine.ini"));
  const std::string command = Utils::WideToUtf8(*engine) + " report";
  const int status = std::system(command.c_str());
  Utils::DeleteFilePath(enginePointer);
  EXPECT_EQ(status, 0);
  const auto records = Received();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_TRUE(Has(records[0], "\"event\":\"VxEventTask\""));
  EXPECT_TRUE(Has(records[1], "\"event\":\"VxEventClick\""));
  EXPECT_TRUE(Has(records[2], "\"event\":\"VxEventView\""));
  EXPECT_TRUE(Has(records[3], "\"event\":\"AppCrashed\""));
#endif
}
