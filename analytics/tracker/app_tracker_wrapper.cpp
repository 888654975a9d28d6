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

#define VX_GUARDED_TRACK_OPERATION(name, parameters, arguments)       \
  void AppTrackerWrapper::name parameters {                           \
    Guard(#name, [&](AppTrackerImpl& impl) { impl.name arguments; }); \
  }
VX_TRACK_OPERATIONS(VX_GUARDED_TRACK_OPERATION)
#undef VX_GUARDED_TRACK_OPERATION

void AppTrackerWrapper::setLocale(const std::string& locale) {
  if (m_Impl) m_Impl->setLocale(locale);
}
std::string AppTrackerWrapper::getDistinctId() { return m_Impl ? m_Impl->getDistinctId() : std::string(); }

}  // namespace vexlo::analytics
