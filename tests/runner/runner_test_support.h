#pragma once
// What the runner tests share: status recording, sleep capture, the test packages and
// their scripts, the package server.
#include <string>

#include "tests/support/status_log.h"

namespace RunnerTest {

using TestSupport::Describe;
using TestSupport::Status;
using TestSupport::StatusLog;
// Replaces Utils::SleepMs with a no-op for its lifetime, counting the sleeps.
using NoSleep = TestSupport::SleepLog;

// Paths of the built test programs, as this process sees them.
std::wstring TestPackage();
std::wstring TestUninstaller();
std::wstring DemoPackage();
std::wstring Engine();
// Writes a script for the test package and sets the configured InstCmd to pass it
// ("-script=PATH"); the destructor clears InstCmd again.
class PackageScript {
 public:
  PackageScript(const std::wstring& path, const std::string& script);
  ~PackageScript();
};
bool WriteFile(const std::wstring& path, const std::string& bytes);
std::string ReadFile(const std::wstring& path);
bool Exists(const std::wstring& path);
std::wstring Quoted(const std::wstring& path);
// http://127.0.0.1:<port>/software/NAME on the package server, or empty without it.
std::wstring PackageUrl(const std::wstring& prefix, const std::wstring& name);

}  // namespace RunnerTest
