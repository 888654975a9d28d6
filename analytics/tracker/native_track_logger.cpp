#include "analytics/tracker/native_track_logger.h"

#include <filesystem>
#include <sstream>

namespace vexlo::analytics {

namespace {
std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
}  // namespace

bool NativeTrackLogger::open(const std::string& utf8Path) {
  std::lock_guard<std::mutex> lock(m_Lock);
  if (m_Stream.is_open() && m_Path == utf8Path) return true;
  if (m_Stream.is_open()) m_Stream.close();
  m_Path = utf8Path;
  { std::ofstream create(FsPath(utf8Path), std::ios::app); }
  m_Stream.open(FsPath(utf8Path), std::ios::in | std::ios::out | std::ios::app);
  return m_Stream.is_open();
}

void NativeTrackLogger::close() {
  std::lock_guard<std::mutex> lock(m_Lock);
  if (m_Stream.is_open()) m_Stream.close();
}

bool NativeTrackLogger::isOpen() const {
  std::lock_guard<std::mutex> lock(m_Lock);
  return m_Stream.is_open();
}

std::string NativeTrackLogger::readEntries() {
  std::lock_guard<std::mutex> lock(m_Lock);
  std::ifstream in(FsPath(m_Path));
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void NativeTrackLogger::clear() {
  std::lock_guard<std::mutex> lock(m_Lock);
  const bool wasOpen = m_Stream.is_open();
  if (wasOpen) m_Stream.close();
  { std::ofstream truncate(FsPath(m_Path), std::ios::trunc); }
  if (wasOpen) m_Stream.open(FsPath(m_Path), std::ios::in | std::ios::out | std::ios::app);
}

}  // namespace vexlo::analytics
