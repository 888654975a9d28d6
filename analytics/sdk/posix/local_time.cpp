#include <ctime>

#include "analytics/sdk/value_node.h"

namespace track_sdk {

bool ToLocalTime(int64_t seconds, LocalTimeParts& parts) {
  const time_t value = static_cast<time_t>(seconds);
  struct tm t {};
  if (!localtime_r(&value, &t)) return false;
  parts = {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
  return true;
}

}  // namespace track_sdk
