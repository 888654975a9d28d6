#include "tests/support/status_log.h"

#include <algorithm>
#include <sstream>

#include "utils/os.h"
#include "utils/text.h"

namespace TestSupport {

std::string Describe(const std::vector<Status>& statuses) {
  std::ostringstream out;
  for (const Status& s : statuses) out << "(" << s.code << ", " << s.value << ", " << Utils::WideToUtf8(s.text) << ") ";
  return out.str();
}

void PrintTo(const Status& status, std::ostream* out) { *out << Describe({status}); }

StatusCallback StatusLog::Callback() {
  return [this](int32_t code, double value, const wchar_t* text) {
    {
      std::lock_guard<std::mutex> lock(m_Lock);
      m_Statuses.push_back({code, value, text ? text : L""});
    }
    m_Changed.notify_all();
    if (onStatus) onStatus(code);
  };
}

bool StatusLog::WaitFor(std::initializer_list<int32_t> codes, size_t count, std::chrono::seconds deadline) {
  std::unique_lock<std::mutex> lock(m_Lock);
  return m_Changed.wait_for(lock, deadline, [&] {
    size_t seen = 0;
    for (const Status& s : m_Statuses) {
      for (int32_t c : codes) seen += s.code == c;
    }
    return seen >= count;
  });
}

std::vector<Status> StatusLog::All() const {
  std::lock_guard<std::mutex> lock(m_Lock);
  return m_Statuses;
}

std::vector<int32_t> StatusLog::Codes() const {
  std::vector<int32_t> codes;
  for (const Status& s : All()) codes.push_back(s.code);
  return codes;
}

std::vector<int32_t> StatusLog::CodesWithoutProgress() const {
  std::vector<int32_t> codes = Codes();
  codes.erase(std::remove(codes.begin(), codes.end(), int32_t(DL_CODE_PROGRESS)), codes.end());
  return codes;
}

int StatusLog::IndexOf(int32_t code) const {
  const std::vector<int32_t> codes = Codes();
  const auto it = std::find(codes.begin(), codes.end(), code);
  return it == codes.end() ? -1 : static_cast<int>(it - codes.begin());
}

size_t StatusLog::Count(int32_t code) const {
  const std::vector<int32_t> codes = Codes();
  return static_cast<size_t>(std::count(codes.begin(), codes.end(), code));
}

SleepLog::SleepLog() {
  Utils::SetSleepHookForTesting([this](uint32_t ms) {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Sleeps.push_back(ms);
  });
}

SleepLog::~SleepLog() { Utils::SetSleepHookForTesting(nullptr); }

std::vector<uint32_t> SleepLog::All() const {
  std::lock_guard<std::mutex> lock(m_Lock);
  return m_Sleeps;
}

size_t SleepLog::Count(uint32_t milliseconds) const {
  const std::vector<uint32_t> sleeps = All();
  return static_cast<size_t>(std::count(sleeps.begin(), sleeps.end(), milliseconds));
}

}  // namespace TestSupport
