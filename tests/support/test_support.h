#pragma once
// Helpers shared by every test executable, native and under Wine.
#include <optional>
#include <string>
#include <vector>

namespace TestSupport {

// A path of this machine's file system as the running program sees it: unchanged on
// POSIX, "Z:\..." under Wine.
std::wstring HostPath(const std::string& posixPath);
// Source and build trees (from PARLINO_SOURCE_DIR / PARLINO_BINARY_DIR), as HostPath.
std::wstring SourceDir();
std::wstring BinaryDir();
// Port of the fixture server NAME (see parlino_add_server_fixture); empty when not running.
std::optional<int> TestServerPort(const std::string& name);
// "http://127.0.0.1:<port>"
std::string ServerBaseUrl(int port);

// Sets an environment variable of this process, or removes it when value is empty
// (nullopt).
void SetEnvVar(const char* name, const std::optional<std::wstring>& value);

// The non-empty lines of a text file, without line ends; none when it is missing.
std::vector<std::string> FileLines(const std::wstring& path);

// A fresh, empty directory removed with everything in it when the object dies.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::wstring& Path() const { return m_Path; }
  std::wstring File(const std::wstring& name) const;

 private:
  std::wstring m_Path;
};

}  // namespace TestSupport
