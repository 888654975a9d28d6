#include "tests/analytics/receiver_client.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/text.h"

namespace AnalyticsTest {

namespace {

// libcurl's global state is set up once per test process, as the installer does at start.
class CurlEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { curl_global_init(CURL_GLOBAL_ALL); }
  void TearDown() override { curl_global_cleanup(); }
};
const auto* const kCurlEnvironment = ::testing::AddGlobalTestEnvironment(new CurlEnvironment);

std::wstring ReceivedPath(const std::string& file) {
  return Utils::JoinPath(Utils::JoinPath(TestSupport::BinaryDir(), L"analytics_received"),
                         Utils::MultiByteToWide(file, Utils::kCodePageUtf8));
}

}  // namespace

std::string NewChannel(const std::string& prefix) {
  static std::atomic<int> counter{0};
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return prefix + "_" + std::to_string(Utils::CurrentProcessId()) + "_" + std::to_string(now % 1000000) + "_" +
         std::to_string(++counter);
}

std::string ReceiverUrl(const std::string& channel, const std::string& kind) {
  auto port = TestSupport::TestServerPort("analytics_receiver");
  EXPECT_TRUE(port.has_value()) << "the analytics_receiver fixture is not running";
  return TestSupport::ServerBaseUrl(port.value_or(1)) + "/" + kind + "/" + channel + "/sa";
}

std::vector<std::string> ReceivedRecords(const std::string& channel) { return FileLines(ReceivedPath(channel + ".jsonl")); }

std::vector<std::string> ReceivedRequests(const std::string& channel) {
  return FileLines(ReceivedPath(channel + ".requests.jsonl"));
}

std::vector<int> RequestCounts(const std::string& channel) {
  std::vector<int> counts;
  for (const std::string& line : ReceivedRequests(channel)) counts.push_back(static_cast<int>(JsonInt(line, "count")));
  return counts;
}

long long JsonInt(const std::string& line, const std::string& key) {
  const std::string needle = "\"" + key + "\":";
  size_t at = line.find(needle);
  if (at == std::string::npos) {
    at = line.find("\"" + key + "\": ");
    if (at == std::string::npos) return -1;
    at += needle.size() + 1;
  } else {
    at += needle.size();
  }
  return std::stoll(line.substr(at));
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace AnalyticsTest
