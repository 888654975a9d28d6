#pragma once
// Collects every trace line written while it lives.
#include <mutex>
#include <string>
#include <vector>

#include "utils/debug_log.h"

class TraceCapture {
 public:
  TraceCapture() {
    Utils::SetTraceSink([this](const std::wstring& line) {
      std::lock_guard<std::mutex> lock(m_Lock);
      m_Lines.push_back(line);
    });
  }
  ~TraceCapture() { Utils::SetTraceSink(nullptr); }
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::vector<std::wstring> Lines() const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Lines;
  }
  // Lines holding `text`.
  std::vector<std::wstring> Matching(const std::wstring& text) const {
    std::vector<std::wstring> found;
    for (const auto& line : Lines()) {
      if (line.find(text) != std::wstring::npos) found.push_back(line);
    }
    return found;
  }

 private:
  mutable std::mutex m_Lock;
  std::vector<std::wstring> m_Lines;
};
