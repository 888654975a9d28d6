#pragma once
// Platform side of the trace: where a finished line goes.
#include <cstddef>

namespace Utils::TraceChannel {

// Hands one complete line (with its "\r\n") to the platform's channel: the debugger
// output on Windows, standard error on POSIX when PARLINO_TRACE is set.
void Write(const wchar_t* line, size_t length);

}  // namespace Utils::TraceChannel
