#include "utils/thread.h"

#include <atomic>

#include "utils/debug_log.h"

namespace Utils {
namespace {
std::atomic<bool> g_RefuseCreation{false};
}

void Thread::RefuseCreationForTesting(bool refuse) { g_RefuseCreation = refuse; }
bool Thread::CreationRefusedForTesting() { return g_RefuseCreation; }

std::wstring Thread::DebuggerName(const std::wstring& name, uint32_t threadId) {
  return name.empty() ? L"t" + std::to_wstring(threadId) : name;
}

uint32_t Thread::CallBack(Thread* self) {
  DebugLog(L"THREAD BEGIN");
  if (self->m_Body) self->m_Body(self->m_Parameter);
  DebugLog(L"THREAD END");
  return 0;
}

}  // namespace Utils
