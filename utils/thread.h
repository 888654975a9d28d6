#pragma once
// A worker thread created suspended: the owner stores the object, then calls Resume().
// It writes "THREAD BEGIN"/"THREAD END" to the trace and carries a debugger name.
// Destruction waits for the thread without limit, so the body must never destroy
// its own Thread. A thread that was never resumed is not waited for forever: Join()
// and destruction let it end without running its body (no BEGIN/END lines).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Utils {

class Thread {
 public:
  using Body = std::function<uint32_t(void* parameter)>;
  static constexpr uint32_t kNoThreadId = 0xFFFFFFFFu;

  // Creates the thread suspended. When creation fails the object is inert:
  // IsValid() is false and Resume()/Join() do nothing.
  Thread(void* parameter, std::wstring name, Body body);
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  bool IsValid() const;
  // Lets the suspended thread run. Calling it more than once has no further effect.
  void Resume();
  // Waits without limit for the thread to end, then releases it; the id becomes
  // kNoThreadId. Does nothing when there is no thread.
  void Join();
  uint32_t ThreadId() const { return m_ThreadId; }
  const std::wstring& Name() const { return m_Name; }

  // The name a debugger shows: the given name, or "t<id>" when it is empty.
  static std::wstring DebuggerName(const std::wstring& name, uint32_t threadId);

  // Tests: while set, every new Thread behaves as if the system refused to create it.
  static void RefuseCreationForTesting(bool refuse);

 private:
  static bool CreationRefusedForTesting();
  struct Native;  // platform handle and start gate
  static uint32_t CallBack(Thread* self);

  uint32_t m_ThreadId = kNoThreadId;
  std::unique_ptr<Native> m_Native;
  Body m_Body;
  void* m_Parameter = nullptr;
  std::wstring m_Name;
};

}  // namespace Utils
