#pragma once
// The few OS services the test and demo packages need.
#include <cstdint>
#include <string>

namespace Package {

// Writes all bytes to standard output (1) or standard error (2) with one write call
// where the system allows; false when the stream is gone.
bool WriteStream(int stream, const std::string& bytes);
void SleepMs(uint32_t milliseconds);
// Ends the process abnormally, the way a crash does.
[[noreturn]] void Crash();
// Full path of this executable.
std::string SelfPath();
// The raw command line where the system has one; the arguments joined by blanks otherwise.
std::string RawCommandLine(int argc, char** argv);
// Starts a program detached, without waiting for it.
bool StartDetached(const std::string& program);
// Starts this program again with "-script=SCRIPT", handing it this process's standard
// handles, without waiting for it: an heir that outlives its parent on the same pipes.
bool StartHeir(const std::string& script);

}  // namespace Package
