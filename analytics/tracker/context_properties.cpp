#include "analytics/tracker/context_properties.h"

#include "analytics/tracker/vx_exception.h"

namespace vexlo::analytics {

namespace {
constexpr const char* kFile = "VxContextProperties";
constexpr int64_t kLargestSecondsCount = 157789439999LL;  // larger counts are milliseconds
constexpr size_t kMaxAbValueChars = 3;

bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Overflow(int event) { return "VxEvent[" + std::to_string(event) + "] overflow!"; }
}  // namespace

void SplitDateTime(int64_t value, int64_t& seconds, int& milliseconds) {
  if (value > kLargestSecondsCount) {
    seconds = value / 1000;
    milliseconds = static_cast<int>(value % 1000);
  } else {
    seconds = value;
    milliseconds = 0;
  }
}

void VxContextProperties::Register(ContextValueType type, const std::string& name, ContextValue value,
                                   const std::vector<int>& events) {
  if (m_Names.count(name)) VX_THROW(kFile, "setProperty", "Property[" + name + "] already exist!");
  auto shared = std::make_shared<const ContextValue>(std::move(value));
  m_Names[name] = shared;
  for (int event : events) {
    // Negative numbers are as far out of range as 15 and above.
    if (event < 0 || event >= kEventCount) VX_THROW(kFile, "setProperty", Overflow(event));
    m_Lists[event].push_back({type, name, shared});
  }
}

void VxContextProperties::setProperty(const std::string& name, const std::string& value, const std::vector<int>& events) {
  Register(ContextValueType::String, name, value, events);
}
void VxContextProperties::setProperty(const std::string& name, const char* value, const std::vector<int>& events) {
  Register(ContextValueType::String, name, std::string(value ? value : ""), events);
}
void VxContextProperties::setProperty(const std::string& name, bool value, const std::vector<int>& events) {
  Register(ContextValueType::Boolean, name, value, events);
}
void VxContextProperties::setProperty(const std::string& name, double value, const std::vector<int>& events) {
  Register(ContextValueType::Number, name, value, events);
}
void VxContextProperties::setProperty(const std::string& name, const std::vector<std::string>& value,
                                      const std::vector<int>& events) {
  Register(ContextValueType::List, name, value, events);
}
void VxContextProperties::setDateTimeProperty(const std::string& name, int64_t value, const std::vector<int>& events) {
  Register(ContextValueType::DateTime, name, value, events);
}

const std::vector<ContextProperty>& VxContextProperties::getEventProperties(int event) const {
  if (event < 0 || event >= kEventCount) VX_THROW(kFile, "getEventProperties", Overflow(event));
  return m_Lists[event];
}

bool VxContextProperties::isValidABValue(const std::string& value) {
  if (value.empty()) return false;
  if (value.size() > kMaxAbValueChars) VX_THROW(kFile, "isValidABValue", "value's length is great than 3.");
  if (!IsCapital(value[0])) VX_THROW(kFile, "isValidABValue", "First char is not in A to Z");
  if (value.size() > 1 && !IsCapital(value[1]) && !IsDigit(value[1]))
    VX_THROW(kFile, "isValidABValue", "second char is not in A to Z and 0 to 9");
  if (value.size() > 2 && !IsCapital(value[2]) && !IsDigit(value[2]))
    VX_THROW(kFile, "isValidABValue", "third char is not in A to Z and 0 to 9");
  return true;
}

void VxContextProperties::applyTo(int event, track_sdk::PropertiesNode& properties) const {
  for (const ContextProperty& entry : getEventProperties(event)) {
    if (!entry.value) continue;
    const ContextValue& value = *entry.value;
    switch (entry.type) {
      case ContextValueType::Boolean: properties.SetBool(entry.name, std::get<bool>(value)); break;
      case ContextValueType::Number: properties.SetNumber(entry.name, std::get<double>(value)); break;
      case ContextValueType::String: properties.SetString(entry.name, std::get<std::string>(value)); break;
      case ContextValueType::List: properties.SetList(entry.name, std::get<std::vector<std::string>>(value)); break;
      case ContextValueType::DateTime: {
        int64_t seconds = 0;
        int ms = 0;
        SplitDateTime(std::get<int64_t>(value), seconds, ms);
        properties.SetString(entry.name, track_sdk::utils::FormatLocalDateTime(seconds, ms));
        break;
      }
    }
  }
}

}  // namespace vexlo::analytics
