#pragma once
// User-profile updates: one SDK profile record per property, the operation chosen by
// the property's mode in profileModeTable. Refusals raise VxException (source
// "NativeUserTracker").
#include <cstdint>
#include <string>

namespace vexlo::analytics {

enum class ProfileMode : int { Unsupported = 0, SetOnce = 1, Accumulate = 2, Set = 3, Append = 4 };

class NativeUserTracker {
 public:
  static ProfileMode ModeOf(const std::string& key);
  static void ProfileUserPropertyString(const std::string& key, const std::string& value);
  static void ProfileUserPropertyNumber(const std::string& key, int64_t value);
  static void ProfileUserPropertyNumber(const std::string& key, double value);
  // value: milliseconds since 1970 above 157789439999, else seconds.
  static void ProfileUserPropertyDateTime(const std::string& key, int64_t value);
};

}  // namespace vexlo::analytics
