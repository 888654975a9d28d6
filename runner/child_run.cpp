#include "runner/child_run.h"

#include "runner/console_protocol.h"
#include "utils/os.h"

void ChildRun::MarkFinalLine() {
  std::lock_guard<std::mutex> guard(m_Lock);
  m_FinalLineSeen = true;
}

void ChildRun::Stop() {
  std::lock_guard<std::mutex> guard(m_Lock);
  m_Stopping = true;
  if (m_Process && !m_FinalLineSeen) m_Process->Terminate();
}

ChildRun::Outcome ChildRun::Run(const std::wstring& commandLine, const BlockHandler& onBlock, uint32_t pauseMs) {
  ChildProcess* process = nullptr;
  try {
    auto created = std::make_unique<ChildProcess>();
    created->Launch(commandLine);
    std::lock_guard<std::mutex> guard(m_Lock);
    m_FinalLineSeen = false;  // a runner started again must not inherit the last run's line
    m_Process = std::move(created);
    process = m_Process.get();
    if (m_Stopping) process->Terminate();
  } catch (const Utils::Exception&) {
    return Outcome::LaunchFailed;
  }

  // Everything the child wrote before it ended is read: a read only comes back empty
  // once the pipe has ended or the child is gone with nothing left in it.
  bool finalLine = false;
  char block[ConsoleProtocol::kReadBlockBytes];
  while (true) {
    const size_t count = process->ReadOutput(block, sizeof block);
    if (count == 0) break;
    if (onBlock(block, count)) {
      finalLine = true;
      break;
    }
    if (pauseMs > 0) Utils::SleepMs(pauseMs);
  }
  process->WaitDiscardingOutput();
  const bool crashed = process->EndedAbnormally();
  bool stopping;
  {
    std::lock_guard<std::mutex> guard(m_Lock);
    m_Process.reset();
    stopping = m_Stopping;
  }
  if (finalLine) return Outcome::FinalLine;
  if (stopping) return Outcome::Stopped;
  return crashed ? Outcome::Crashed : Outcome::Ended;
}
