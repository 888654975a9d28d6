#pragma once
// One run of a child process as both package runners make it: launch the command line,
// hand the child's output to the runner block by block until a block holds a final
// line or the output ends, then wait for the child while draining what it still writes
// (so it never blocks on a full pipe).
//
// Stop() may come from another thread at any time: a child that has not given its
// final line yet is ended and the run reports Stopped; one that has is left to finish
// its own work. Once stopped, every later run is stopped as soon as it has launched.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "runner/child_process.h"

class ChildRun {
 public:
  enum class Outcome {
    LaunchFailed,  // pipes or process not created, or the command line too long
    FinalLine,     // a block held a final line; the child has ended since
    Ended,         // the child ended normally without a final line
    Crashed,       // the child ended abnormally without a final line
    Stopped,       // Stop() ended the run before a final line
  };
  // Takes one block of output; returns true when the block held a final line.
  using BlockHandler = std::function<bool(const char* bytes, size_t count)>;

  // Runs the command line to the end of the child. pauseMs is slept (Utils::SleepMs)
  // after each block that held no final line; 0 reads on at once.
  Outcome Run(const std::wstring& commandLine, const BlockHandler& onBlock, uint32_t pauseMs);
  // For the block handler, before it sends a final status: from then on Stop() lets the
  // child finish. Each run starts without a final line.
  void MarkFinalLine();
  void Stop();

 private:
  std::mutex m_Lock;  // m_Process and the two flags between the run and Stop()
  std::unique_ptr<ChildProcess> m_Process;
  bool m_Stopping = false;
  bool m_FinalLineSeen = false;
};
