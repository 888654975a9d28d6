#include <windows.h>

#include "utils/debug_log_internal.h"

namespace Utils::TraceChannel {

// The line arrives zero-terminated; the debugger channel takes it in one call.
void Write(const wchar_t* line, size_t) { OutputDebugStringW(line); }

}  // namespace Utils::TraceChannel
