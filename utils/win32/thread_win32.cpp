#include <windows.h>

#include <atomic>

#include "utils/text.h"
#include "utils/thread.h"
#include "utils/win32/win_handles.h"

namespace Utils {
namespace {

// The debuggers' thread-naming convention.
constexpr DWORD kSetThreadNameException = 0x406D1388;
constexpr DWORD kThreadNameInfoType = 0x1000;

#pragma pack(push, 8)
struct ThreadNameInfo {
  DWORD type;
  LPCSTR name;
  DWORD threadId;
  DWORD flags;
};
#pragma pack(pop)

LONG CALLBACK SwallowThreadName(EXCEPTION_POINTERS* info) {
  return info->ExceptionRecord->ExceptionCode == kSetThreadNameException ? EXCEPTION_CONTINUE_EXECUTION
                                                                           : EXCEPTION_CONTINUE_SEARCH;
}

void PublishName(HANDLE thread, DWORD threadId, const std::wstring& name) {
  using SetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  if (auto setDescription =
          Win32::LookUp<SetThreadDescriptionFn>(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")) {
    setDescription(thread, name.c_str());
  }
  // mingw has no __try: the exception is raised only for an attached debugger, and a
  // vectored handler swallows it should the debugger pass it on.
  if (!IsDebuggerPresent()) return;
  const std::string ansi = WideToMultiByte(name, kCodePageAnsi);
  ThreadNameInfo info{kThreadNameInfoType, ansi.c_str(), threadId, 0};
  PVOID handler = AddVectoredExceptionHandler(1, SwallowThreadName);
  if (!handler) return;
  RaiseException(kSetThreadNameException, 0, sizeof(info) / sizeof(ULONG_PTR),
                 reinterpret_cast<const ULONG_PTR*>(&info));
  RemoveVectoredExceptionHandler(handler);
}

}  // namespace

struct Thread::Native {
  Win32::UniqueHandle handle;
  bool resumed = false;
  // Set before a never-resumed thread is let go: it ends without the body.
  std::atomic<bool> cancelled{false};

  static DWORD WINAPI Start(LPVOID argument) {
    auto* self = static_cast<Thread*>(argument);
    if (self->m_Native->cancelled.load()) return 0;
    return CallBack(self);
  }
};

Thread::Thread(void* parameter, std::wstring name, Body body)
    : m_Body(std::move(body)), m_Parameter(parameter), m_Name(std::move(name)) {
  if (CreationRefusedForTesting()) return;  // inert
  auto native = std::make_unique<Native>();
  DWORD id = 0;
  // m_Native is in place before the thread can run: it starts suspended.
  HANDLE handle = CreateThread(nullptr, 0, &Native::Start, this, CREATE_SUSPENDED, &id);
  if (!handle) return;
  native->handle = Win32::UniqueHandle(handle);
  m_ThreadId = id;
  m_Native = std::move(native);
  PublishName(handle, id, DebuggerName(m_Name, id));
}

Thread::~Thread() {
  Join();
  m_Name.clear();
  m_Body = nullptr;
}

bool Thread::IsValid() const { return m_Native != nullptr; }

void Thread::Resume() {
  if (!m_Native || m_Native->resumed) return;
  m_Native->resumed = true;
  ResumeThread(m_Native->handle.Get());
}

void Thread::Join() {
  if (!m_Native) return;
  if (!m_Native->resumed) {  // waiting for a suspended thread would never end
    m_Native->cancelled = true;
    Resume();
  }
  WaitForSingleObject(m_Native->handle.Get(), INFINITE);
  m_Native.reset();
  m_ThreadId = kNoThreadId;
}

}  // namespace Utils
