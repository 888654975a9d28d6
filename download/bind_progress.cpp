#include "download/bind_progress.h"

#include "download/status_codes.h"

void BindProgress::SetCallback(const StatusCallback& callback) {
  std::lock_guard<std::mutex> lock(m_Lock);
  m_Callback = callback;
}

bool BindProgress::Forward(uint64_t progress, uint64_t maximum) {
  if (m_Abort) return false;
  if (maximum == 0) return true;
  StatusCallback callback;
  {
    std::lock_guard<std::mutex> lock(m_Lock);
    callback = m_Callback;
  }
  if (callback) callback(DL_CODE_PROGRESS, double(progress) / double(maximum), L"");
  return true;
}
