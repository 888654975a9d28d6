#pragma once
// Developer trace. Every line goes to the debugger output channel on Windows; on POSIX
// to standard error in UTF-8, only when PARLINO_TRACE is set (read at the first line).
// A test can capture every line through a process-wide sink. Never fails visibly: a
// line that cannot be formatted or allocated is dropped.
//
// Message formats are wide printf formats in which %s takes a wide string
// (const wchar_t*), on every platform.
#include <functional>
#include <string>

namespace Utils {

// Writes one trace line "<P%05d><T%05d><date time>(function)<%04d>: message\r\n".
void WriteTraceLine(const char* function, int line, const wchar_t* format, ...);

// The same, with the function named by its pretty signature; DebugLog uses it so that
// the name is worked out without a heap allocation.
void WriteTraceLineAt(const char* prettyFunction, int line, const wchar_t* format, ...);

// Hands `text` to the same channel and sink exactly as given: no prefix and no line
// end. For subsystems whose debugger lines are fixed texts of their own.
void WriteDebuggerText(const wchar_t* text);

// Qualified function name ("CurlClient::Head", "CDownloadInstaller::Start::<lambda>")
// from a compiler's pretty function signature.
std::string QualifiedFunctionName(const char* prettyFunction);

// Receives each complete line (prefix, message and "\r\n") in addition to the normal
// channel. Pass an empty function to remove it. For tests. Replacing or removing a sink
// returns only when no call of the previous one is still running (so a sink must not
// call SetTraceSink).
using TraceSink = std::function<void(const std::wstring& line)>;
void SetTraceSink(TraceSink sink);

}  // namespace Utils

#if defined(__GNUC__)
#define PARLINO_PRETTY_FUNCTION __PRETTY_FUNCTION__
#else
#define PARLINO_PRETTY_FUNCTION __FUNCSIG__
#endif

// DebugLog(L"partPath::%s", path.c_str());
#define DebugLog(...) \
  ::Utils::WriteTraceLineAt(PARLINO_PRETTY_FUNCTION, __LINE__, __VA_ARGS__)
