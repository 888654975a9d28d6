#pragma once
// Platform side of the trace: where a finished line goes.
#include <cstddef>

namespace Utils::TraceChannel {

// Hands one complete line (a trace line ends with "\r\n", a fixed text may not) to
// the platform's channel: the debugger output on Windows, standard error on POSIX
// when PARLINO_TRACE is set.
void Write(const wchar_t* line, size_t length);

}  // namespace Utils::TraceChannel
