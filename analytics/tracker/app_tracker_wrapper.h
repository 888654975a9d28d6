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

  void trackActivity(const VxContextProperties& context) override;
  void trackLaunch(const VxContextProperties& context) override;
  void trackLogin(const VxUserInfo& user, bool success, const std::string& reason,
                  const VxContextProperties& context) override;
  void trackClick(const VxEventClick& event, const VxContextProperties& context) override;
  void trackView(const VxEventView& event, const VxContextProperties& context) override;
  void trackCashier(const VxEventCashier& event, const VxContextProperties& context) override;
  void trackShare(const VxEventShare& event, const VxContextProperties& context) override;
  void trackTask(const VxEventTask& event, const VxContextProperties& context) override;
  void trackFile(const VxEventFile& event, const VxContextProperties& context) override;
  void trackOrder(const VxEventOrder& event, const VxContextProperties& context) override;
  void trackPayment(const VxEventPayment& event, const VxContextProperties& context) override;
  void trackUninstall(const std::string& reason, const VxContextProperties& context) override;
  void trackCrash(const std::string& reason) override;
  void trackUpdate(const VxEventUpdate& event, const VxContextProperties& context) override;
  void trackAppOpenNotification(const AppOpenNotification* notification,
                                const VxContextProperties& context) override;
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
