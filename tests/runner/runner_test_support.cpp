#include "runner_test_support.h"

#include <sstream>

#include "app/installer_config.h"
#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/text.h"

namespace RunnerTest {

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
