#include <pthread.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "utils/text.h"
#include "utils/thread.h"

namespace Utils {
namespace {
// Linux limits thread names to 15 bytes plus the terminator.
constexpr size_t kMaxNameBytes = 15;

std::string ShortName(const std::wstring& name) {
  std::string bytes = WideToMultiByte(name, kCodePageAnsi);
  if (bytes.size() <= kMaxNameBytes) return bytes;
  size_t cut = kMaxNameBytes;
  while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;  // whole characters only
  return bytes.substr(0, cut);
}
}  // namespace

// The thread starts at once, publishes its id, then waits at the gate until Resume()
// (or until a never-resumed object is destroyed, when it leaves without the body).
struct Thread::Native {
  std::thread thread;
  std::mutex lock;
  std::condition_variable changed;
  bool started = false;   // the id is known
  bool open = false;      // the gate: run or leave
  bool cancelled = false; // leave without running the body
  uint32_t id = kNoThreadId;

  void Run(Thread* self) {
    {
      std::unique_lock<std::mutex> guard(lock);
      id = static_cast<uint32_t>(gettid());
      started = true;
      changed.notify_all();
      changed.wait(guard, [this] { return open; });
      if (cancelled) return;
    }
    CallBack(self);
  }

  void Open(bool cancel) {
    std::lock_guard<std::mutex> guard(lock);
    if (open) return;
    cancelled = cancel;
    open = true;
    changed.notify_all();
  }
};

Thread::Thread(void* parameter, std::wstring name, Body body)
    : m_Body(std::move(body)), m_Parameter(parameter), m_Name(std::move(name)) {
  if (CreationRefusedForTesting()) return;  // inert
  auto native = std::make_unique<Native>();
  try {
    native->thread = std::thread(&Native::Run, native.get(), this);
  } catch (const std::system_error&) {
    return;  // inert
  }
  {
    std::unique_lock<std::mutex> guard(native->lock);
    native->changed.wait(guard, [&] { return native->started; });
    m_ThreadId = native->id;
  }
  pthread_setname_np(native->thread.native_handle(), ShortName(DebuggerName(m_Name, m_ThreadId)).c_str());
  m_Native = std::move(native);
}

Thread::~Thread() {
  Join();
  m_Name.clear();
  m_Body = nullptr;
}

bool Thread::IsValid() const { return m_Native != nullptr; }

void Thread::Resume() {
  if (m_Native) m_Native->Open(false);
}

void Thread::Join() {
  if (!m_Native) return;
  m_Native->Open(true);  // no effect after Resume(); a never-resumed thread leaves
  if (m_Native->thread.joinable()) m_Native->thread.join();
  m_Native.reset();
  m_ThreadId = kNoThreadId;
}

}  // namespace Utils
