#include "tests/support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "utils/os.h"
#include "utils/text.h"

namespace TestSupport {
namespace fs = std::filesystem;

std::wstring HostPath(const std::string& posixPath) {
#ifdef _WIN32
  std::wstring wide = Utils::MultiByteToWide(posixPath, Utils::kCodePageUtf8);
  for (auto& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return L"Z:" + wide;
#else
  return Utils::MultiByteToWide(posixPath, Utils::kCodePageUtf8);
#endif
}

static std::wstring DirFromEnv(const char* name) {
  const char* value = std::getenv(name);
  return value ? HostPath(value) : std::wstring();
}

std::wstring SourceDir() { return DirFromEnv("PARLINO_SOURCE_DIR"); }
std::wstring BinaryDir() { return DirFromEnv("PARLINO_BINARY_DIR"); }

std::optional<int> TestServerPort(const std::string& name) {
  const fs::path file = fs::path(BinaryDir()) / L"servers" / Utils::MultiByteToWide(name + ".port", Utils::kCodePageUtf8);
  std::ifstream in(file);
  int port = 0;
  if (in >> port && port > 0) return port;
  return std::nullopt;
}

std::string ServerBaseUrl(int port) { return "http://127.0.0.1:" + std::to_string(port); }

TempDir::TempDir() {
  std::random_device random;
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / (L"parlino-test-" + std::to_wstring(random()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      m_Path = candidate.wstring();
      return;
    }
  }
  std::abort();
}

TempDir::~TempDir() {
  std::error_code error;
  fs::remove_all(m_Path, error);
}

std::wstring TempDir::File(const std::wstring& name) const { return Utils::JoinPath(m_Path, name); }

void SetEnvVar(const char* name, const std::optional<std::wstring>& value) {
#ifdef _WIN32
  const std::wstring wide = Utils::MultiByteToWide(name, Utils::kCodePageAnsi);
  _wputenv_s(wide.c_str(), value ? value->c_str() : L"");
#else
  if (value) {
    setenv(name, Utils::WideToUtf8(*value).c_str(), 1);
  } else {
    unsetenv(name);
  }
#endif
}

std::vector<std::string> FileLines(const std::wstring& path) {
  std::string bytes;
  std::vector<std::string> lines;
  if (!Utils::ReadWholeFile(path, bytes)) return lines;
  for (std::string& line : Utils::SplitLines(bytes)) {
    if (!line.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace TestSupport
