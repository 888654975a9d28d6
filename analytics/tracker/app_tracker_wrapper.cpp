#include "analytics/tracker/app_tracker_wrapper.h"

#include <iostream>

namespace vexlo::analytics {

template <typename Call>
void AppTrackerWrapper::Guard(const char* operation, Call call) {
  if (!m_Impl) return;
  try {
    call(*m_Impl);
  } catch (...) {
    try {
      if (m_Impl->getLogger()) std::cout << "Failed to " << operation << std::endl;
    } catch (...) {
    }
  }
}

void AppTrackerWrapper::trackActivity(const VxContextProperties& c) {
  Guard("trackActivity", [&](AppTrackerImpl& t) { t.trackActivity(c); });
}
void AppTrackerWrapper::trackLaunch(const VxContextProperties& c) {
  Guard("trackLaunch", [&](AppTrackerImpl& t) { t.trackLaunch(c); });
}
void AppTrackerWrapper::trackLogin(const VxUserInfo& u, bool s, const std::string& r, const VxContextProperties& c) {
  Guard("trackLogin", [&](AppTrackerImpl& t) { t.trackLogin(u, s, r, c); });
}
void AppTrackerWrapper::trackClick(const VxEventClick& e, const VxContextProperties& c) {
  Guard("trackClick", [&](AppTrackerImpl& t) { t.trackClick(e, c); });
}
void AppTrackerWrapper::trackView(const VxEventView& e, const VxContextProperties& c) {
  Guard("trackView", [&](AppTrackerImpl& t) { t.trackView(e, c); });
}
void AppTrackerWrapper::trackCashier(const VxEventCashier& e, const VxContextProperties& c) {
  Guard("trackCashier", [&](AppTrackerImpl& t) { t.trackCashier(e, c); });
}
void AppTrackerWrapper::trackShare(const VxEventShare& e, const VxContextProperties& c) {
  Guard("trackShare", [&](AppTrackerImpl& t) { t.trackShare(e, c); });
}
void AppTrackerWrapper::trackTask(const VxEventTask& e, const VxContextProperties& c) {
  Guard("trackTask", [&](AppTrackerImpl& t) { t.trackTask(e, c); });
}
void AppTrackerWrapper::trackFile(const VxEventFile& e, const VxContextProperties& c) {
  Guard("trackFile", [&](AppTrackerImpl& t) { t.trackFile(e, c); });
}
void AppTrackerWrapper::trackOrder(const VxEventOrder& e, const VxContextProperties& c) {
  Guard("trackOrder", [&](AppTrackerImpl& t) { t.trackOrder(e, c); });
}
void AppTrackerWrapper::trackPayment(const VxEventPayment& e, const VxContextProperties& c) {
  Guard("trackPayment", [&](AppTrackerImpl& t) { t.trackPayment(e, c); });
}
void AppTrackerWrapper::trackUninstall(const std::string& r, const VxContextProperties& c) {
  Guard("trackUninstall", [&](AppTrackerImpl& t) { t.trackUninstall(r, c); });
}
void AppTrackerWrapper::trackCrash(const std::string& r) {
  Guard("trackCrash", [&](AppTrackerImpl& t) { t.trackCrash(r); });
}
void AppTrackerWrapper::trackUpdate(const VxEventUpdate& e, const VxContextProperties& c) {
  Guard("trackUpdate", [&](AppTrackerImpl& t) { t.trackUpdate(e, c); });
}
void AppTrackerWrapper::trackAppOpenNotification(const AppOpenNotification* n, const VxContextProperties& c) {
  Guard("trackAppOpenNotification", [&](AppTrackerImpl& t) { t.trackAppOpenNotification(n, c); });
}
void AppTrackerWrapper::setLocale(const std::string& locale) {
  if (m_Impl) m_Impl->setLocale(locale);
}
std::string AppTrackerWrapper::getDistinctId() { return m_Impl ? m_Impl->getDistinctId() : std::string(); }

}  // namespace vexlo::analytics
