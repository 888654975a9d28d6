// CreateProcessW with three anonymous pipes and a hidden start-up.
#include "runner/child_process.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "utils/debug_log.h"
#include "utils/win32/win_handles.h"

namespace {

// How long one wait for output lasts before the pipes and the child are checked again.
constexpr DWORD kPollIntervalMs = 10;
constexpr DWORD kDiscardChunk = 4096;
constexpr UINT kTerminatedExitCode = 1;
// Exit codes from here up are exception codes (NTSTATUS errors): the child crashed.
constexpr DWORD kFirstExceptionCode = 0xC0000000u;

using Utils::Win32::UniqueHandle;

struct Pipe {
  UniqueHandle read;
  UniqueHandle write;
  bool Create() {
    SECURITY_ATTRIBUTES sa{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreatePipe(read.Out(), write.Out(), &sa, 0) != 0;
  }
};

// Bytes waiting in the pipe; false once the pipe is broken (every writer gone).
bool Available(HANDLE pipe, DWORD& bytes) {
  bytes = 0;
  return PeekNamedPipe(pipe, nullptr, 0, nullptr, &bytes, nullptr) != 0;
}

// Reads and drops whatever is waiting; false once the pipe has reached its end.
bool Discard(HANDLE pipe) {
  char scratch[kDiscardChunk];
  DWORD bytes = 0;
  while (true) {
    if (!Available(pipe, bytes)) return false;
    if (bytes == 0) return true;
    DWORD got = 0;
    if (!ReadFile(pipe, scratch, std::min<DWORD>(bytes, sizeof scratch), &got, nullptr)) return false;
  }
}

}  // namespace

struct ChildProcess::Native {
  wchar_t commandBuffer[kCommandBufferChars] = {};
  Pipe error;
  Pipe output;
  Pipe input;
  std::mutex lock;  // guards the process handle's use by Terminate
  UniqueHandle process;
  UniqueHandle thread;
  bool ended = false;
  DWORD exitCode = STILL_ACTIVE;
};

ChildProcess::ChildProcess() : m_Native(std::make_unique<Native>()) {
  if (!m_Native->error.Create() || !m_Native->output.Create() || !m_Native->input.Create()) {
    throw Utils::Exception();
  }
}

ChildProcess::~ChildProcess() = default;

void ChildProcess::Launch(const std::wstring& commandLine) {
  Native& n = *m_Native;
  if (commandLine.size() >= kCommandBufferChars || !n.output.write || n.process) {
    throw Utils::Exception();
  }
  std::wmemcpy(n.commandBuffer, commandLine.c_str(), commandLine.size() + 1);
  SetHandleInformation(n.output.read.Get(), HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(n.error.read.Get(), HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(n.input.write.Get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  si.hStdInput = n.input.read.Get();
  si.hStdOutput = n.output.write.Get();
  si.hStdError = n.error.write.Get();
  PROCESS_INFORMATION pi{};
  {
    std::lock_guard<std::mutex> guard(n.lock);
    if (!CreateProcessW(nullptr, n.commandBuffer, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
      DebugLog(L"CreateProcessW failed: %u", static_cast<unsigned>(GetLastError()));
      throw Utils::Exception();
    }
    n.process = UniqueHandle(pi.hProcess);
    n.thread = UniqueHandle(pi.hThread);
  }
  // Only the child holds these now, so reading ends when it and its heirs close them.
  n.output.write.Reset();
  n.error.write.Reset();
  n.input.read.Reset();
  n.input.write.Reset();
}

bool ChildProcess::HasEnded() {
  Native& n = *m_Native;
  std::lock_guard<std::mutex> guard(n.lock);
  if (n.ended || !n.process) return n.ended;
  if (WaitForSingleObject(n.process.Get(), 0) == WAIT_OBJECT_0) {
    GetExitCodeProcess(n.process.Get(), &n.exitCode);
    n.ended = true;
  }
  return n.ended;
}

size_t ChildProcess::ReadOutput(char* buffer, size_t capacity) {
  Native& n = *m_Native;
  if (capacity == 0) return 0;
  while (n.output.read) {
    if (n.error.read && !Discard(n.error.read.Get())) n.error.read.Reset();
    const bool ended = HasEnded();
    DWORD bytes = 0;
    if (!Available(n.output.read.Get(), bytes)) {
      n.output.read.Reset();
      return 0;
    }
    if (bytes > 0) {
      DWORD got = 0;
      const DWORD want = static_cast<DWORD>(std::min<size_t>(capacity, bytes));
      if (!ReadFile(n.output.read.Get(), buffer, want, &got, nullptr)) {
        n.output.read.Reset();
        return 0;
      }
      return got;
    }
    if (ended) return 0;  // an heir may keep the pipe open; the child itself is gone
    Sleep(kPollIntervalMs);
  }
  return 0;
}

void ChildProcess::WaitDiscardingOutput() {
  Native& n = *m_Native;
  if (!n.process) return;
  while (!HasEnded()) {
    if (n.output.read && !Discard(n.output.read.Get())) n.output.read.Reset();
    if (n.error.read && !Discard(n.error.read.Get())) n.error.read.Reset();
    WaitForSingleObject(n.process.Get(), kPollIntervalMs);
  }
}

bool ChildProcess::EndedAbnormally() const { return m_Native->ended && m_Native->exitCode >= kFirstExceptionCode; }

uint32_t ChildProcess::ExitCode() const { return m_Native->exitCode; }

void ChildProcess::Terminate() {
  Native& n = *m_Native;
  std::lock_guard<std::mutex> guard(n.lock);
  if (n.process && !n.ended) TerminateProcess(n.process.Get(), kTerminatedExitCode);
}
