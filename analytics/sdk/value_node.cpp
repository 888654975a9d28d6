#include "analytics/sdk/value_node.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <locale>
#include <sstream>

namespace track_sdk {

namespace {
constexpr size_t kMaxKeyNameBytes = 100;
constexpr size_t kMaxIdBytes = 255;

bool InRange(unsigned char c, unsigned lo, unsigned hi) { return c >= lo && c <= hi; }

bool IsKeyStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '$' || c == '_';
}
bool IsKeyByte(char c) { return IsKeyStart(c) || (c >= '0' && c <= '9'); }

void AppendString(std::string& out, const std::string& text) {
  out += '"';
  for (char c : text) {
    switch (c) {
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  out += '"';
}

void AppendNumber(std::string& out, double value) {
  // "nan"/"inf" would make the whole batch unreadable to the server.
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  std::ostringstream stream;
  stream.imbue(std::locale::classic());
  stream << value;
  out += stream.str();
}
}  // namespace

bool IsValidUtf8(const std::string& text) {
  const size_t size = text.size();
  size_t i = 0;
  auto cont = [&](size_t at) { return at < size && InRange(static_cast<unsigned char>(text[at]), 0x80, 0xBF); };
  while (i < size) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == 0x09 || c == 0x0A || c == 0x0D || InRange(c, 0x20, 0x7E)) {
      i += 1;
      continue;
    }
    if (i + 1 >= size) return false;
    const unsigned char n = static_cast<unsigned char>(text[i + 1]);
    if (InRange(c, 0xC2, 0xDF)) {
      if (!InRange(n, 0x80, 0xBF)) return false;
      i += 2;
    } else if (InRange(c, 0xE0, 0xEF)) {
      bool ok = c == 0xE0 ? InRange(n, 0xA0, 0xBF) : c == 0xED ? InRange(n, 0x80, 0x9F) : InRange(n, 0x80, 0xBF);
      if (!ok || !cont(i + 2)) return false;
      i += 3;
    } else if (InRange(c, 0xF0, 0xF4)) {
      bool ok = c == 0xF0 ? InRange(n, 0x90, 0xBF) : c == 0xF4 ? InRange(n, 0x80, 0x8F) : InRange(n, 0x80, 0xBF);
      if (!ok || !cont(i + 2) || !cont(i + 3)) return false;
      i += 4;
    } else {
      return false;
    }
  }
  return true;
}

bool CheckIdText(const std::string& label, const std::string& text) {
  if (text.empty()) {
    std::cerr << "The " << label << " is empty." << std::endl;
    return false;
  }
  if (text.size() > kMaxIdBytes) {
    std::cerr << "The " << label << " is too long, max length is 255." << std::endl;
    return false;
  }
  return true;
}

bool CheckKeyName(const std::string& label, const std::string& text) {
  if (text.empty() || text.size() > kMaxKeyNameBytes) {
    std::cerr << "The " << label << " is empty or too long, max length is 100";
    return false;
  }
  bool ok = IsKeyStart(text[0]);
  for (size_t i = 1; ok && i < text.size(); ++i) ok = IsKeyByte(text[i]);
  if (!ok) {
    std::cerr << "The " << label << " need to be a valid variable name.";
    return false;
  }
  return true;
}

int64_t NowMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

namespace utils {

void ObjectNode::SetObject(const std::string& key, const ObjectNode& value) {
  ValueNode node;
  node.type = ValueType::Object;
  node.object = std::make_shared<const ObjectNode>(value);
  m_Values[key] = std::move(node);
}

namespace {
bool CheckStringValue(const std::string& key, const std::string& value) {
  if (value.size() > kMaxStringValueBytes) {
    std::cerr << "String property '" << key << "' is too long, value: " << value << std::endl;
    return false;
  }
  if (!IsValidUtf8(value)) {
    std::cerr << "String property '" << key << "' is not valid UTF-8 string, value: " << value << std::endl;
    return false;
  }
  return true;
}
}  // namespace

bool ObjectNode::SetString(const std::string& key, const std::string& value) {
  if (!CheckStringValue(key, value)) return false;
  ValueNode node;
  node.type = ValueType::String;
  node.text = value;
  m_Values[key] = std::move(node);
  return true;
}

bool ObjectNode::SetString(const std::string& key, const char* value) {
  return SetString(key, std::string(value ? value : ""));
}

void ObjectNode::SetNumber(const std::string& key, double value) {
  ValueNode node;
  node.type = ValueType::Number;
  node.number = value;
  m_Values[key] = std::move(node);
}

void ObjectNode::SetInteger(const std::string& key, int64_t value) {
  ValueNode node;
  node.type = ValueType::Integer;
  node.integer = value;
  m_Values[key] = std::move(node);
}

void ObjectNode::SetBool(const std::string& key, bool value) {
  ValueNode node;
  node.type = ValueType::Boolean;
  node.boolean = value;
  m_Values[key] = std::move(node);
}

void ObjectNode::SetDateTime(const std::string& key, int64_t seconds, int milliseconds) {
  ValueNode node;
  node.type = ValueType::DateTime;
  node.seconds = seconds;
  node.milliseconds = milliseconds;
  m_Values[key] = std::move(node);
}

bool ObjectNode::SetList(const std::string& key, const std::vector<std::string>& values) {
  // An unchecked control byte would make the whole batch unreadable to the server.
  for (const std::string& value : values) {
    if (!CheckStringValue(key, value)) return false;
  }
  ValueNode node;
  node.type = ValueType::List;
  node.list = values;
  m_Values[key] = std::move(node);
  return true;
}

void ObjectNode::SetValue(const std::string& key, const ValueNode& value) {
  if (value.type == ValueType::None) return;
  if (value.type == ValueType::Object) {
    if (value.object) SetObject(key, *value.object);
    return;
  }
  m_Values[key] = value;
}

const ValueNode* ObjectNode::Find(const std::string& key) const {
  auto it = m_Values.find(key);
  return it == m_Values.end() ? nullptr : &it->second;
}

void ObjectNode::Remove(const std::string& key) { m_Values.erase(key); }

std::string ObjectNode::ToJson() const {
  std::string out = "{";
  bool first = true;
  for (const auto& [key, value] : m_Values) {
    if (value.type == ValueType::None) continue;
    if (!first) out += ',';
    first = false;
    out += '"';
    out += key;
    out += "\":";
    AppendJson(out, value);
  }
  out += '}';
  return out;
}

std::string FormatLocalDateTime(int64_t seconds, int milliseconds) {
  LocalTimeParts t{1970, 1, 1, 0, 0, 0};
  ToLocalTime(seconds, t);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour, t.minute,
                t.second, milliseconds);
  return buffer;
}

void AppendJson(std::string& out, const ValueNode& value) {
  switch (value.type) {
    case ValueType::Number: AppendNumber(out, value.number); break;
    case ValueType::Integer: out += std::to_string(value.integer); break;
    case ValueType::String: AppendString(out, value.text); break;
    case ValueType::List: {
      out += '[';
      for (size_t i = 0; i < value.list.size(); ++i) {
        if (i) out += ',';
        AppendString(out, value.list[i]);
      }
      out += ']';
      break;
    }
    case ValueType::DateTime:
      out += '"';
      out += FormatLocalDateTime(value.seconds, value.milliseconds);
      out += '"';
      break;
    case ValueType::Boolean: out += value.boolean ? "true" : "false"; break;
    case ValueType::Object: out += value.object ? value.object->ToJson() : "{}"; break;
    case ValueType::None: break;
  }
}

}  // namespace utils
}  // namespace track_sdk
