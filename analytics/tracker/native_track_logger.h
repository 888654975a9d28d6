#pragma once
// The tracker's own log file. Nothing writes entries into it; it exists while the
// tracker lives.
#include <fstream>
#include <mutex>
#include <string>

#include "analytics/tracker/app_tracker.h"

namespace vexlo::analytics {

class NativeTrackLogger : public TrackLogger {
 public:
  ~NativeTrackLogger() override { close(); }
  // Creates the file when missing and opens it for reading and appending; a path
  // already open is left alone. False when the file cannot be opened.
  bool open(const std::string& utf8Path);
  void close();
  bool isOpen() const;
  std::string readEntries() override;
  void clear() override;

 private:
  std::string m_Path;
  std::fstream m_Stream;
  mutable std::mutex m_Lock;
};

}  // namespace vexlo::analytics
