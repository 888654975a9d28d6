#pragma once
// The application-facing tracker interface. Slots 1-15 report one event each; the
// implementation may throw VxException, the wrapper never lets anything through.
#include <string>

#include "analytics/tracker/context_properties.h"
#include "analytics/tracker/events.h"

namespace vexlo::analytics {

class TrackLogger {
 public:
  virtual ~TrackLogger() = default;
  virtual std::string readEntries() = 0;
  virtual void clear() = 0;
};

class AppTracker {
 public:
  virtual ~AppTracker() = default;
  virtual void trackActivity(const VxContextProperties& context) = 0;
  virtual void trackLaunch(const VxContextProperties& context) = 0;
  virtual void trackLogin(const VxUserInfo& user, bool success, const std::string& reason,
                          const VxContextProperties& context) = 0;
  virtual void trackClick(const VxEventClick& event, const VxContextProperties& context) = 0;
  virtual void trackView(const VxEventView& event, const VxContextProperties& context) = 0;
  virtual void trackCashier(const VxEventCashier& event, const VxContextProperties& context) = 0;
  virtual void trackShare(const VxEventShare& event, const VxContextProperties& context) = 0;
  virtual void trackTask(const VxEventTask& event, const VxContextProperties& context) = 0;
  virtual void trackFile(const VxEventFile& event, const VxContextProperties& context) = 0;
  virtual void trackOrder(const VxEventOrder& event, const VxContextProperties& context) = 0;
  virtual void trackPayment(const VxEventPayment& event, const VxContextProperties& context) = 0;
  virtual void trackUninstall(const std::string& reason, const VxContextProperties& context) = 0;
  virtual void trackCrash(const std::string& reason) = 0;
  virtual void trackUpdate(const VxEventUpdate& event, const VxContextProperties& context) = 0;
  virtual void trackAppOpenNotification(const AppOpenNotification* notification,
                                        const VxContextProperties& context) = 0;
  virtual void setLocale(const std::string& locale) = 0;
  virtual std::string getDistinctId() = 0;
  virtual TrackLogger* getLogger() = 0;
};

}  // namespace vexlo::analytics
