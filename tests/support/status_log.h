#pragma once
// Records the statuses a downloader, runner or orchestration reports, and the retry
// sleeps they ask for, for tests of every subsystem that reports through a StatusCallback.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "download/status_callback.h"
#include "download/status_codes.h"

namespace TestSupport {

struct Status {
  int32_t code;
  double value;
  std::wstring text;
  bool operator==(const Status& other) const {
    return code == other.code && value == other.value && text == other.text;
  }
};
// "(code, value, text) " per status, for failure messages.
std::string Describe(const std::vector<Status>& statuses);
void PrintTo(const Status& status, std::ostream* out);

// Records every status; thread-safe. `onStatus` (if set) runs after recording, on the
// reporting thread, as the orchestration's handler would.
class StatusLog {
 public:
  StatusCallback Callback();
  // Waits until `count` statuses with one of `codes` have arrived; false after the
  // deadline, which only a hang reaches.
  bool WaitFor(std::initializer_list<int32_t> codes, size_t count = 1,
               std::chrono::seconds deadline = std::chrono::seconds(60));
  // Waits for the first terminal download status (success, fail or retry).
  bool WaitTerminal(size_t count = 1) { return WaitFor({DL_CODE_SUCCESS, DL_CODE_FAIL, DL_CODE_RETRY}, count); }
  std::vector<Status> All() const;
  std::vector<int32_t> Codes() const;
  // Codes in order, download progress left out.
  std::vector<int32_t> CodesWithoutProgress() const;
  // Index of the first status with the code, or -1.
  int IndexOf(int32_t code) const;
  size_t Count(int32_t code) const;
  std::function<void(int32_t code)> onStatus;

 private:
  mutable std::mutex m_Lock;
  std::condition_variable m_Changed;
  std::vector<Status> m_Statuses;
};

// Replaces Utils::SleepMs for its lifetime and records every requested sleep.
class SleepLog {
 public:
  SleepLog();
  ~SleepLog();
  std::vector<uint32_t> All() const;
  size_t Count(uint32_t milliseconds) const;

 private:
  mutable std::mutex m_Lock;
  std::vector<uint32_t> m_Sleeps;
};

}  // namespace TestSupport
