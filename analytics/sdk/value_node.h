#pragma once
// Values and JSON objects of analytics records. Keys are ordered byte-wise; assigning
// to an existing key replaces its value. Nothing here throws to its caller: refused
// values are reported on standard error and leave the map unchanged.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace track_sdk {

enum class ValueType { Number = 0, Integer = 1, String = 2, List = 3, DateTime = 4, Boolean = 5, Object = 6, None = 7 };

// Longest string value a record may carry, in bytes.
constexpr size_t kMaxStringValueBytes = 8192;

namespace utils {

class ObjectNode;

struct ValueNode {
  ValueType type = ValueType::None;
  double number = 0;
  int64_t integer = 0;
  std::string text;
  std::vector<std::string> list;
  int64_t seconds = 0;  // date-time: seconds since 1970 UTC
  int milliseconds = 0;
  bool boolean = false;
  std::shared_ptr<const ObjectNode> object;
};

class ObjectNode {
 public:
  ObjectNode() = default;
  ObjectNode(const ObjectNode&) = default;
  ObjectNode& operator=(const ObjectNode&) = default;
  virtual ~ObjectNode() = default;

  // Slot 0: an object-valued entry. A property map ignores it.
  virtual void SetObject(const std::string& key, const ObjectNode& value);

  // Refused (false, map unchanged, message on standard error) when longer than
  // kMaxStringValueBytes or not valid UTF-8 as IsValidUtf8 defines it.
  bool SetString(const std::string& key, const std::string& value);
  bool SetString(const std::string& key, const char* value);
  void SetNumber(const std::string& key, double value);
  void SetInteger(const std::string& key, int64_t value);
  void SetBool(const std::string& key, bool value);
  void SetDateTime(const std::string& key, int64_t seconds, int milliseconds);
  // Every item is checked like a string value; one refused item refuses the list.
  bool SetList(const std::string& key, const std::vector<std::string>& values);
  // Copies a value as it is (merging maps); a None value is ignored.
  void SetValue(const std::string& key, const ValueNode& value);

  const ValueNode* Find(const std::string& key) const;
  void Remove(const std::string& key);
  bool Empty() const { return m_Values.empty(); }
  void Clear() { m_Values.clear(); }
  const std::map<std::string, ValueNode>& Entries() const { return m_Values; }

  // Compact JSON text: keys in order and unescaped, strings with the short escapes only.
  std::string ToJson() const;

 protected:
  std::map<std::string, ValueNode> m_Values;
};

// JSON text of one value; a None value gives an empty string.
void AppendJson(std::string& out, const ValueNode& value);
// "%04d-%02d-%02d %02d:%02d:%02d.%03d" of the local time of `seconds`.
std::string FormatLocalDateTime(int64_t seconds, int milliseconds);

}  // namespace utils

// A map of event or profile properties: never holds an object value.
class PropertiesNode : public utils::ObjectNode {
 public:
  void SetObject(const std::string&, const utils::ObjectNode&) override {}
};

// Byte-level UTF-8 check that also refuses control bytes other than tab, LF and CR.
bool IsValidUtf8(const std::string& text);
// Identifier check: 1..255 bytes. Writes "The <label> is empty." / "... is too long,
// max length is 255." with a line end to standard error on failure.
bool CheckIdText(const std::string& label, const std::string& text);
// Variable-name check for event names and property keys: 1..100 bytes of
// [A-Za-z$_][A-Za-z0-9$_]*. Messages without a line end.
bool CheckKeyName(const std::string& label, const std::string& text);

// Local time of a count of seconds since 1970 UTC (platform specific).
struct LocalTimeParts {
  int year, month, day, hour, minute, second;
};
bool ToLocalTime(int64_t seconds, LocalTimeParts& parts);
// Milliseconds since 1970-01-01 UTC.
int64_t NowMilliseconds();

}  // namespace track_sdk
