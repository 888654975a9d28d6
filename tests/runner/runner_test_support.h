#pragma once
// What the runner tests share: status recording, sleep capture, the test packages and
// their scripts, the package server.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "download/status_callback.h"

namespace RunnerTest {

struct Status {
  int32_t code;
  double value;
  std::wstring text;
  bool operator==(const Status& other) const {
    return code == other.code && value == other.value && text == other.text;
  }
};
std::string Describe(const std::vector<Status>& statuses);
void PrintTo(const Status& status, std::ostream* out);

// Records every status; thread-safe.
class StatusLog {
 public:
  StatusCallback Callback();
  // Waits until a status with one of the codes has arrived; false after the deadline,
  // which only a hang reaches.
  bool WaitFor(std::initializer_list<int32_t> codes, std::chrono::seconds deadline = std::chrono::seconds(60));
  // Waits until `count` statuses with the code have arrived.
  bool WaitForCount(int32_t code, size_t count, std::chrono::seconds deadline = std::chrono::seconds(60));
  std::vector<Status> All() const;
  std::vector<int32_t> Codes() const;
  // Index of the first status with the code, or -1.
  int IndexOf(int32_t code) const;
  size_t Count(int32_t code) const;

 private:
  mutable std::mutex m_Lock;
  std::condition_variable m_Changed;
  std::vector<Status> m_Statuses;
};

// Replaces Utils::SleepMs with a no-op for its lifetime, counting the sleeps.
class NoSleep {
 public:
  NoSleep();
  ~NoSleep();
  size_t Count(uint32_t milliseconds) const;

 private:
  mutable std::mutex m_Lock;
  std::vector<uint32_t> m_Sleeps;
};

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
