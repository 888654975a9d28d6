#pragma once
// Keeps every failure of a track operation away from the application: slots 1-15
// call the implementation inside a catch-all and, when the implementation has a
// logger, print "Failed to <operation>" to standard output. Never exposes the logger.
#include <memory>

#include "analytics/tracker/app_tracker_impl.h"

namespace vexlo::analytics {

class AppTrackerWrapper : public AppTracker {
 public:
  explicit AppTrackerWrapper(std::unique_ptr<AppTrackerImpl> impl) : m_Impl(std::move(impl)) {}

  VX_TRACK_OPERATIONS(VX_DECLARE_TRACK_OPERATION)
  void setLocale(const std::string& locale) override;
  std::string getDistinctId() override;
  TrackLogger* getLogger() override { return nullptr; }

  AppTrackerImpl* impl() const { return m_Impl.get(); }

 private:
  template <typename Call>
  void Guard(const char* operation, Call call);
  std::unique_ptr<AppTrackerImpl> m_Impl;
};

}  // namespace vexlo::analytics
