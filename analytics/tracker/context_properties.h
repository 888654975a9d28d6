#pragma once
// Per-report context properties: named values registered for chosen event numbers
// and applied by the track operations after (for an activity: before) their own
// properties. A name registers once; misuse raises VxException.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "analytics/sdk/value_node.h"
#include "analytics/tracker/enums.h"

namespace vexlo::analytics {

enum class ContextValueType { Boolean = 0, DateTime = 1, Number = 2, String = 3, List = 4 };
using ContextValue = std::variant<bool, int64_t, double, std::string, std::vector<std::string>>;

struct ContextProperty {
  ContextValueType type;
  std::string name;
  std::shared_ptr<const ContextValue> value;
};

class VxContextProperties {
 public:
  // Raises "Property[<name>] already exist!" for a second registration and
  // "VxEvent[<n>] overflow!" for an event number outside 0..14 (lists handled
  // before that number keep the entry).
  void setProperty(const std::string& name, const std::string& value, const std::vector<int>& events);
  void setProperty(const std::string& name, const char* value, const std::vector<int>& events);
  void setProperty(const std::string& name, bool value, const std::vector<int>& events);
  void setProperty(const std::string& name, double value, const std::vector<int>& events);
  void setProperty(const std::string& name, const std::vector<std::string>& value, const std::vector<int>& events);
  // A 64-bit count: above 157789439999 milliseconds since 1970, else seconds.
  void setDateTimeProperty(const std::string& name, int64_t value, const std::vector<int>& events);

  const std::vector<ContextProperty>& getEventProperties(int event) const;

  // False for an empty text; raises for a text that is not 1 to 3 characters of
  // [A-Z][A-Z0-9]{0,2}.
  static bool isValidABValue(const std::string& value);

  // Sets every entry registered for `event` into `properties`.
  void applyTo(int event, track_sdk::PropertiesNode& properties) const;

 private:
  void Register(ContextValueType type, const std::string& name, ContextValue value, const std::vector<int>& events);
  std::map<std::string, std::shared_ptr<const ContextValue>> m_Names;
  std::vector<ContextProperty> m_Lists[kEventCount];
};

// Seconds and milliseconds of a date-time count as above.
void SplitDateTime(int64_t value, int64_t& seconds, int& milliseconds);

}  // namespace vexlo::analytics
