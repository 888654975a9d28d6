#pragma once
// One hidden child process with its standard handles redirected to anonymous pipes.
// Shared by both package runners.
//
// Standard error is never handed to the caller: every read and wait below drains it
// and discards what it holds, so a child that writes much to it never blocks.
// Standard input is an empty pipe that reads as end of input.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "runner/exception.h"

class ChildProcess {
 public:
  // The command buffer holds 1024 wide characters with the terminator, so a command
  // line of 1024 characters or more cannot be launched.
  static constexpr size_t kCommandBufferChars = 1024;

  // Creates the three pipes; throws Utils::Exception when one cannot be created.
  ChildProcess();
  // Closes every handle still held. A child that still runs is left running.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts the command line (program first, Windows quoting rules) hidden, with the
  // installer's environment and current directory. Throws Utils::Exception when the
  // command line is too long, was already launched, or the process cannot be created;
  // no process is left behind then.
  void Launch(const std::wstring& commandLine);

  // Reads up to `capacity` bytes of the child's standard output. Blocks until bytes
  // arrive, the output pipe reaches its end, or the child has ended with nothing left
  // to read. Returns the number of bytes read; 0 means nothing came.
  size_t ReadOutput(char* buffer, size_t capacity);

  // True once the child has ended (never true before Launch succeeded).
  bool HasEnded();
  // Waits without limit for the child to end, reading and discarding everything it
  // writes to either stream meanwhile.
  void WaitDiscardingOutput();
  // After the child ended: true when it ended abnormally (an unhandled exception or a
  // signal) rather than by returning an exit code.
  bool EndedAbnormally() const;
  // After the child ended: its exit code (the exception or signal number when abnormal).
  uint32_t ExitCode() const;

  // Ends the child at once. Safe from any thread while another thread reads or waits.
  void Terminate();

 private:
  struct Native;
  std::unique_ptr<Native> m_Native;
};
