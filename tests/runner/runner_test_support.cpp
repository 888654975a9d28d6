#include "runner_test_support.h"

#include <sstream>

#include "app/installer_config.h"
#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/text.h"

namespace RunnerTest {

std::string Describe(const std::vector<Status>& statuses) {
  std::ostringstream out;
  for (const Status& s : statuses) out << "(" << s.code << ", " << s.value << ", " << Utils::WideToUtf8(s.text) << ") ";
  return out.str();
}

void PrintTo(const Status& status, std::ostream* out) { *out << Describe({status}); }

StatusCallback StatusLog::Callback() {
  return [this](int32_t code, double value, const wchar_t* text) {
    std::lock_guard<std::mutex> guard(m_Lock);
    m_Statuses.push_back({code, value, text ? text : L""});
    m_Changed.notify_all();
  };
}

bool StatusLog::WaitFor(std::initializer_list<int32_t> codes, std::chrono::seconds deadline) {
  std::unique_lock<std::mutex> guard(m_Lock);
  return m_Changed.wait_for(guard, deadline, [&] {
    for (const Status& s : m_Statuses) {
      for (int32_t code : codes) {
        if (s.code == code) return true;
      }
    }
    return false;
  });
}

bool StatusLog::WaitForCount(int32_t code, size_t count, std::chrono::seconds deadline) {
  std::unique_lock<std::mutex> guard(m_Lock);
  return m_Changed.wait_for(guard, deadline, [&] {
    size_t n = 0;
    for (const Status& s : m_Statuses) n += s.code == code ? 1 : 0;
    return n >= count;
  });
}

std::vector<Status> StatusLog::All() const {
  std::lock_guard<std::mutex> guard(m_Lock);
  return m_Statuses;
}

std::vector<int32_t> StatusLog::Codes() const {
  std::vector<int32_t> codes;
  for (const Status& s : All()) codes.push_back(s.code);
  return codes;
}

int StatusLog::IndexOf(int32_t code) const {
  const std::vector<int32_t> codes = Codes();
  for (size_t i = 0; i < codes.size(); ++i) {
    if (codes[i] == code) return static_cast<int>(i);
  }
  return -1;
}

size_t StatusLog::Count(int32_t code) const {
  size_t n = 0;
  for (int32_t c : Codes()) n += c == code ? 1 : 0;
  return n;
}

NoSleep::NoSleep() {
  Utils::SetSleepHookForTesting([this](uint32_t ms) {
    std::lock_guard<std::mutex> guard(m_Lock);
    m_Sleeps.push_back(ms);
  });
}

NoSleep::~NoSleep() { Utils::SetSleepHookForTesting(nullptr); }

size_t NoSleep::Count(uint32_t milliseconds) const {
  std::lock_guard<std::mutex> guard(m_Lock);
  size_t n = 0;
  for (uint32_t ms : m_Sleeps) n += ms == milliseconds ? 1 : 0;
  return n;
}

namespace {

std::wstring FromEnv(const char* name) {
  const auto value = Utils::GetEnv(Utils::MultiByteToWide(name, Utils::kCodePageAnsi));
  return value ? TestSupport::HostPath(Utils::WideToUtf8(*value)) : L"";
}

}  // namespace

std::wstring TestPackage() { return FromEnv("PARLINO_TEST_PACKAGE"); }
std::wstring TestUninstaller() { return FromEnv("PARLINO_TEST_UNINSTALLER"); }
std::wstring DemoPackage() { return FromEnv("PARLINO_DEMO_PACKAGE"); }
std::wstring Engine() { return FromEnv("PARLINO_ENGINE"); }

PackageScript::PackageScript(const std::wstring& path, const std::string& script) {
  WriteFile(path, script);
  GetInstallerConfig().m_InstCmd = L"-script=" + Quoted(path);
}

PackageScript::~PackageScript() { GetInstallerConfig().m_InstCmd.clear(); }

bool WriteFile(const std::wstring& path, const std::string& bytes) { return Utils::WriteWholeFile(path, bytes); }

std::string ReadFile(const std::wstring& path) {
  std::string bytes;
  Utils::ReadWholeFile(path, bytes);
  return bytes;
}

bool Exists(const std::wstring& path) { return Utils::PathExists(path); }

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

std::wstring PackageUrl(const std::wstring& prefix, const std::wstring& name) {
  const auto port = TestSupport::TestServerPort("runner_packages");
  if (!port) return L"";
  return Utils::MultiByteToWide(TestSupport::ServerBaseUrl(*port), Utils::kCodePageUtf8) + prefix + name;
}

}  // namespace RunnerTest
