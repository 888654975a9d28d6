#include <ctime>

#include "analytics/sdk/value_node.h"

namespace track_sdk {

bool ToLocalTime(int64_t seconds, LocalTimeParts& parts) {
  const __time64_t value = static_cast<__time64_t>(seconds);
  struct tm t {};
  if (_localtime64_s(&t, &value) != 0) return false;
  parts = {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
  return true;
}

}  // namespace track_sdk
