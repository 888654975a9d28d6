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

// Slots 1-15, one event each: X(name, (parameters), (arguments)). The interface, the
// implementation and the wrapper all declare these from this one list.
#define VX_TRACK_OPERATIONS(X)                                                                                         \
  X(trackActivity, (const VxContextProperties& context), (context))                                                    \
  X(trackLaunch, (const VxContextProperties& context), (context))                                                      \
  X(trackLogin, (const VxUserInfo& user, bool success, const std::string& reason, const VxContextProperties& context), \
    (user, success, reason, context))                                                                                  \
  X(trackClick, (const VxEventClick& event, const VxContextProperties& context), (event, context))                     \
  X(trackView, (const VxEventView& event, const VxContextProperties& context), (event, context))                       \
  X(trackCashier, (const VxEventCashier& event, const VxContextProperties& context), (event, context))                 \
  X(trackShare, (const VxEventShare& event, const VxContextProperties& context), (event, context))                     \
  X(trackTask, (const VxEventTask& event, const VxContextProperties& context), (event, context))                       \
  X(trackFile, (const VxEventFile& event, const VxContextProperties& context), (event, context))                       \
  X(trackOrder, (const VxEventOrder& event, const VxContextProperties& context), (event, context))                     \
  X(trackPayment, (const VxEventPayment& event, const VxContextProperties& context), (event, context))                 \
  X(trackUninstall, (const std::string& reason, const VxContextProperties& context), (reason, context))                \
  X(trackCrash, (const std::string& reason), (reason))                                                                 \
  X(trackUpdate, (const VxEventUpdate& event, const VxContextProperties& context), (event, context))                   \
  X(trackAppOpenNotification, (const AppOpenNotification* notification, const VxContextProperties& context),           \
    (notification, context))

#define VX_DECLARE_TRACK_OPERATION(name, parameters, arguments) void name parameters override;

class AppTracker {
 public:
  virtual ~AppTracker() = default;
#define VX_DECLARE_PURE_TRACK_OPERATION(name, parameters, arguments) virtual void name parameters = 0;
  VX_TRACK_OPERATIONS(VX_DECLARE_PURE_TRACK_OPERATION)
#undef VX_DECLARE_PURE_TRACK_OPERATION
  virtual void setLocale(const std::string& locale) = 0;
  virtual std::string getDistinctId() = 0;
  virtual TrackLogger* getLogger() = 0;
};

}  // namespace vexlo::analytics
