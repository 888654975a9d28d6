#include "tests/download/download_test_support.h"

#include <atomic>
#include <sstream>
#include <thread>

#include <curl/curl.h>
#include <gtest/gtest.h>

#include "download/md5.h"
#include "download/probe_report.h"
#include "tests/support/test_support.h"
#include "utils/debug_log.h"
#include "utils/os.h"
#include "utils/text.h"

namespace DownloadTest {

ProbeReportLog::ProbeReportLog() {
  SetProbeReportHookForTesting([this](const std::wstring& name, float elapsed, const std::wstring& reason,
                                      const std::map<std::wstring, std::wstring>& properties) {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Reports.push_back({name, elapsed, reason, properties});
  });
}
ProbeReportLog::~ProbeReportLog() { SetProbeReportHookForTesting(nullptr); }
std::vector<ProbeReport> ProbeReportLog::All() const {
  std::lock_guard<std::mutex> lock(m_Lock);
  return m_Reports;
}

TraceLog::TraceLog() {
  Utils::SetTraceSink([this](const std::wstring& line) {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Lines.push_back(line);
  });
}
TraceLog::~TraceLog() { Utils::SetTraceSink(nullptr); }
bool TraceLog::Contains(const std::wstring& text) const {
  std::lock_guard<std::mutex> lock(m_Lock);
  for (const std::wstring& line : m_Lines) {
    if (line.find(text) != std::wstring::npos) return true;
  }
  return false;
}

bool TraceLog::Contains(const std::wstring& function, const std::wstring& text) const {
  const std::wstring marker = L"(" + function + L")<";
  std::lock_guard<std::mutex> lock(m_Lock);
  for (const std::wstring& line : m_Lines) {
    const size_t at = line.find(marker);
    if (at == std::wstring::npos) continue;
    const size_t message = line.find(L">: ", at + marker.size());
    if (message != std::wstring::npos && line.find(text, message) != std::wstring::npos) return true;
  }
  return false;
}

void ExpectCleanDestructionMidTransfer(std::unique_ptr<CDownloader> downloader, StatusLog& log,
                                       std::chrono::milliseconds settle) {
  constexpr auto kTeardownLimit = std::chrono::seconds(3);
  downloader->Start();
  ASSERT_TRUE(log.WaitFor({DL_CODE_START}));
  std::this_thread::sleep_for(settle);
  const auto begin = std::chrono::steady_clock::now();
  downloader.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, kTeardownLimit);
  EXPECT_EQ(log.CodesWithoutProgress(), std::vector<int32_t>{DL_CODE_START});
}

namespace {

std::wstring BaseUrl(const char* fixture) {
  const std::optional<int> port = TestSupport::TestServerPort(fixture);
  if (!port) {
    ADD_FAILURE() << "server " << fixture << " is not running";
    return L"http://127.0.0.1:1";
  }
  return Utils::MultiByteToWide(TestSupport::ServerBaseUrl(*port), Utils::kCodePageUtf8);
}

size_t AppendBody(char* data, size_t size, size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

}  // namespace

std::wstring NginxUrl(const std::wstring& path) { return BaseUrl("download_nginx") + path; }

std::wstring PackageName(int64_t size) { return L"pkg_" + std::to_wstring(size) + L".exe"; }

std::wstring SourcePackage(int64_t size) {
  std::wstring path = TestSupport::BinaryDir();
  for (const wchar_t* part : {L"servers", L"download_root", L"files"}) path = Utils::JoinPath(path, part);
  return Utils::JoinPath(path, PackageName(size));
}

std::string SourceMd5(int64_t size) { return FileMd5Hex(SourcePackage(size)); }

std::wstring FaultUrl(const std::string& faults, int64_t size, const std::string& directory) {
  const std::string dir = directory.empty() ? SourceMd5(size) : directory;
  return BaseUrl("download_faults") + L"/f/" + Utils::MultiByteToWide(faults, Utils::kCodePageUtf8) + L"/" +
         Utils::MultiByteToWide(dir, Utils::kCodePageUtf8) + L"/" + PackageName(size);
}

std::string UniqueId() {
  static std::atomic<int> counter{0};
  return "t" + std::to_string(Utils::CurrentProcessId()) + "-" + std::to_string(Utils::TickCountMs()) + "-" +
         std::to_string(++counter);
}

std::vector<std::string> FaultRequests(const std::string& id) {
  const std::string url = Utils::WideToUtf8(BaseUrl("download_faults")) + "/log/" + id;
  std::string body;
  CURL* handle = curl_easy_init();
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
  curl_easy_perform(handle);
  curl_easy_cleanup(handle);
  std::vector<std::string> lines;
  std::istringstream in(body);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> FaultGets(const std::string& id) {
  std::vector<std::string> gets;
  for (const std::string& line : FaultRequests(id)) {
    if (line.rfind("GET ", 0) == 0) gets.push_back(line);
  }
  return gets;
}

std::wstring DeadUrl() { return L"http://127.0.0.1:1/d/0123456789abcdef0123456789abcdef/pkg.exe"; }

bool Exists(const std::wstring& path) { return Utils::PathExists(path); }

// libcurl is initialised once per process, as the installer's start-up does.
class CurlEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { curl_global_init(CURL_GLOBAL_ALL); }
  void TearDown() override { curl_global_cleanup(); }
};
const auto* const g_CurlEnvironment = ::testing::AddGlobalTestEnvironment(new CurlEnvironment);

}  // namespace DownloadTest
