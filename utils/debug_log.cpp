#include "utils/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <new>
#include <string_view>

#include "utils/callback_slot.h"
#include "utils/debug_log_internal.h"
#include "utils/os.h"

namespace Utils {
namespace {

// Most lines fit on the stack; longer ones take one heap buffer, grown by doubling
// while the message does not fit, and a line beyond the last size is dropped.
constexpr size_t kStackLineChars = 1024;
constexpr size_t kFirstHeapLineChars = 8 * 1024;
constexpr size_t kMaxLineChars = 1024 * 1024;
// Room for the translated message format on the stack; longer formats use the heap.
constexpr size_t kStackFormatChars = 512;
// Qualified names longer than this are cut.
constexpr size_t kMaxFunctionNameChars = 256;

// Never destroyed: threads and static destructors may still trace at exit.
CallbackSlot<TraceSink>& Sink() {
  static auto* slot = new CallbackSlot<TraceSink>;
  return *slot;
}

// --- qualified names

bool IsIdentChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// Index just past the bracket that closes the one at `open`, counting (), <>, [] and
// {} alike; npos when it is not closed.
size_t SkipBalanced(std::string_view s, size_t open) {
  int depth = 0;
  for (size_t i = open; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '(' || c == '<' || c == '[' || c == '{') ++depth;
    if (c == ')' || c == '>' || c == ']' || c == '}') {
      if (--depth == 0) return i + 1;
    }
  }
  return std::string_view::npos;
}

// Skips cv and reference qualifiers written after a parameter list.
size_t SkipQualifiers(std::string_view s, size_t i) {
  static constexpr std::string_view kQualifiers[] = {" const", " volatile", " &&", " &", " noexcept"};
  for (bool found = true; found;) {
    found = false;
    for (std::string_view q : kQualifiers) {
      if (s.substr(i, q.size()) == q) {
        i += q.size();
        found = true;
      }
    }
  }
  return i;
}

class NameWriter {
 public:
  NameWriter(char* out, size_t capacity) : m_Out(out), m_Capacity(capacity) {}
  void Append(std::string_view text) {
    for (char c : text) {
      if (m_Length + 1 < m_Capacity) m_Out[m_Length++] = c;
    }
    m_Out[m_Length] = '\0';
  }
  void Reset() {
    m_Length = 0;
    m_Out[0] = '\0';
  }
  size_t Length() const { return m_Length; }
  bool EndsWithScope() const { return m_Length >= 2 && m_Out[m_Length - 1] == ':' && m_Out[m_Length - 2] == ':'; }

 private:
  char* m_Out;
  size_t m_Capacity;
  size_t m_Length = 0;
};

// Writes the qualified name of a GCC/Clang pretty function (or MSVC signature) into
// out. The name is the last blank-separated word before the parameter list; a
// parameter list followed by "::" belongs to an enclosing function (lambdas, local
// classes) and is dropped while the name goes on.
void WriteQualifiedName(std::string_view s, char* out, size_t capacity) {
  NameWriter name(out, capacity);
  if (capacity == 0) return;
  // "T Max(T, T) [with T = int]": the template arguments are not part of the name.
  if (const size_t with = s.rfind(" [with "); with != std::string_view::npos && s.back() == ']') {
    s = s.substr(0, with);
  }
  name.Reset();
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == ' ') {
      name.Reset();  // what came before was the return type or a specifier
      ++i;
      continue;
    }
    if (c == '(') {
      const size_t close = SkipBalanced(s, i);
      if (close == std::string_view::npos) return;
      const size_t after = SkipQualifiers(s, close);
      if (name.Length() == 0 || name.EndsWithScope()) {  // "(anonymous namespace)", "(anonymous class)"
        name.Append(s.substr(i, close - i));
        i = close;
        continue;
      }
      if (s.substr(after, 2) == "::") {
        i = after;  // enclosing function's parameters: keep going with its "::"
        continue;
      }
      return;  // the function's own parameter list
    }
    if (c == '<' || c == '{' || c == '[') {
      const size_t close = SkipBalanced(s, i);
      if (close == std::string_view::npos) {
        name.Append(s.substr(i));
        return;
      }
      if (s.substr(i, 7) == "<lambda") {
        name.Append("<lambda>");
      } else {
        name.Append(s.substr(i, close - i));
      }
      i = close;
      continue;
    }
    if (s.substr(i, 8) == "operator" && (i == 0 || !IsIdentChar(s[i - 1])) &&
        (i + 8 >= s.size() || !IsIdentChar(s[i + 8]))) {
      // The operator's symbol may hold brackets and blanks: take it up to the '(' of
      // the parameter list ("operator()", "operator<", "operator new[]", "operator int").
      size_t end = i + 8;
      if (s.substr(end, 2) == "()") end += 2;
      while (end < s.size() && s[end] != '(') ++end;
      name.Append(s.substr(i, end - i));
      i = end;
      continue;
    }
    name.Append(s.substr(i, 1));
    ++i;
  }
}

// --- message formats

// Copies the call site's format, turning %s and %c into %ls and %lc so that they take
// wide arguments on every C library.
bool TranslateFormat(const wchar_t* format, wchar_t* out, size_t capacity) {
  size_t n = 0;
  auto put = [&](wchar_t c) {
    if (n + 1 >= capacity) return false;
    out[n++] = c;
    return true;
  };
  for (const wchar_t* p = format; *p;) {
    if (*p != L'%') {
      if (!put(*p++)) return false;
      continue;
    }
    if (!put(*p++)) return false;
    if (*p == L'%') {
      if (!put(*p++)) return false;
      continue;
    }
    // flags, width, precision
    while (*p && std::wcschr(L"-+ #0123456789.*'", *p)) {
      if (!put(*p++)) return false;
    }
    const bool hasLength = *p && std::wcschr(L"hlLqjzt", *p);
    while (*p && std::wcschr(L"hlLqjzt", *p)) {
      if (!put(*p++)) return false;
    }
    if (!hasLength && (*p == L's' || *p == L'c')) {
      if (!put(L'l')) return false;
    }
    if (*p && !put(*p++)) return false;
  }
  out[n] = L'\0';
  return true;
}

// Formats prefix + message + "\r\n" into buffer; false when it does not fit.
bool FormatLine(wchar_t* buffer, size_t capacity, const wchar_t* prefix, size_t prefixLength, const wchar_t* format,
                va_list args, size_t& length) {
  if (prefixLength + 3 > capacity) return false;
  std::wmemcpy(buffer, prefix, prefixLength);
  va_list copy;
  va_copy(copy, args);
  const int written = std::vswprintf(buffer + prefixLength, capacity - prefixLength - 2, format, copy);
  va_end(copy);
  if (written < 0 || static_cast<size_t>(written) + prefixLength + 3 > capacity) return false;
  length = prefixLength + static_cast<size_t>(written);
  buffer[length++] = L'\r';
  buffer[length++] = L'\n';
  buffer[length] = L'\0';
  return true;
}

void Emit(const wchar_t* line, size_t length) {
  TraceChannel::Write(line, length);
  if (auto sink = Sink().Get()) (*sink)(std::wstring(line, length));
}

constexpr size_t kPrefixChars = 128 + kMaxFunctionNameChars;

void WriteLine(const char* function, int line, const wchar_t* format, va_list args) {
  const LocalTime now = GetLocalTimeNow();
  wchar_t prefix[kPrefixChars];
  int used = std::swprintf(prefix, kPrefixChars, L"<P%05u><T%05u><%04d-%02d-%02d %02d:%02d:%02d.%03d>(",
                           CurrentProcessId(), CurrentThreadId(), now.year, now.month, now.day, now.hour,
                           now.minute, now.second, now.milliseconds);
  if (used < 0) return;
  size_t prefixLength = static_cast<size_t>(used);
  // Names are ASCII in practice; other bytes are widened one by one.
  for (const char* p = function ? function : ""; *p && prefixLength < kPrefixChars - 32; ++p) {
    prefix[prefixLength++] = static_cast<wchar_t>(static_cast<unsigned char>(*p));
  }
  used = std::swprintf(prefix + prefixLength, kPrefixChars - prefixLength, L")<%04d>: ", line);
  if (used < 0) return;
  prefixLength += static_cast<size_t>(used);

  wchar_t stackFormat[kStackFormatChars];
  std::unique_ptr<wchar_t[]> heapFormat;
  const wchar_t* messageFormat = stackFormat;
  if (!TranslateFormat(format, stackFormat, kStackFormatChars)) {
    const size_t capacity = std::wcslen(format) * 2 + 1;
    heapFormat.reset(new (std::nothrow) wchar_t[capacity]);
    if (!heapFormat || !TranslateFormat(format, heapFormat.get(), capacity)) return;
    messageFormat = heapFormat.get();
  }

  wchar_t stackLine[kStackLineChars];
  size_t length = 0;
  if (FormatLine(stackLine, kStackLineChars, prefix, prefixLength, messageFormat, args, length)) {
    Emit(stackLine, length);
    return;
  }
  for (size_t capacity = kFirstHeapLineChars; capacity <= kMaxLineChars; capacity *= 2) {
    std::unique_ptr<wchar_t[]> heapLine(new (std::nothrow) wchar_t[capacity]);
    if (!heapLine) return;
    if (FormatLine(heapLine.get(), capacity, prefix, prefixLength, messageFormat, args, length)) {
      Emit(heapLine.get(), length);
      return;
    }
  }
}

}  // namespace

void WriteTraceLine(const char* function, int line, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  WriteLine(function, line, format, args);
  va_end(args);
}

void WriteTraceLineAt(const char* prettyFunction, int line, const wchar_t* format, ...) {
  char name[kMaxFunctionNameChars];
  WriteQualifiedName(prettyFunction ? prettyFunction : "", name, sizeof name);
  va_list args;
  va_start(args, format);
  WriteLine(name, line, format, args);
  va_end(args);
}

void WriteDebuggerText(const wchar_t* text) {
  if (text) Emit(text, std::wcslen(text));
}

std::string QualifiedFunctionName(const char* prettyFunction) {
  char name[kMaxFunctionNameChars];
  WriteQualifiedName(prettyFunction ? prettyFunction : "", name, sizeof name);
  return name;
}

void SetTraceSink(TraceSink sink) { Sink().Set(std::move(sink)); }

}  // namespace Utils
