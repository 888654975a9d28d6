#include "app/reporting.h"

#include <memory>

#include "analytics/tracker/tracker_handle.h"
#include "app/installer_config.h"
#include "utils/debug_log.h"
#include "utils/text.h"

namespace va = vexlo::analytics;

namespace {

constexpr const wchar_t* kAbKey = L"AB";
constexpr const char* kAbContextName = "vxc_ab";
constexpr const wchar_t* kViewName = L"安装中";
constexpr const wchar_t* kCrashReason = L"崩溃";

std::string Utf8(const std::wstring& text) { return Utils::WideToUtf8(text); }

// The running tracker, or null when analytics is off or none was started.
std::shared_ptr<va::AppTracker> ActiveTracker() {
  if (!GetInstallerConfig().m_IsEnableAnalytics) return nullptr;
  return va::TrackerHandle::Get();
}

// Context with "vxc_ab" for `event` when the map holds an acceptable "AB" label.
void BuildContext(const PropertyMap& properties, int event, va::VxContextProperties& context) {
  try {
    auto it = properties.find(kAbKey);
    if (it == properties.end()) return;
    const std::string value = Utf8(it->second);
    if (va::VxContextProperties::isValidABValue(value)) context.setProperty(kAbContextName, value, {event});
  } catch (const std::exception& e) {
    // The event is still reported, without the label.
    DebugLog(L"A/B label refused: %s", Utils::MultiByteToWide(e.what(), Utils::kCodePageUtf8).c_str());
  }
}

}  // namespace

void StartTracker() {
  const InstallerConfig& config = GetInstallerConfig();
  if (!config.m_IsEnableAnalytics) return;
  va::TrackerParams params;
  params.appName = Utf8(config.m_AppName + config.m_DlAppNameSuffix);
  params.appVersion = Utf8(config.m_AppVersion);
  params.appStore = Utf8(config.m_ExeName);
  params.dlAppId = Utf8(config.m_AppName);
  params.dlAppVersion = Utf8(config.m_DlAppVersion);
  params.edition = 0;
  va::CreateTracker(params);
}

void ReleaseTracker() { va::ReleaseTracker(); }

void ReportTaskEvent(const std::wstring& name, float elapsed, const std::wstring& reason, PropertyMap properties) {
  auto tracker = ActiveTracker();
  if (!tracker) return;
  va::VxContextProperties context;
  BuildContext(properties, static_cast<int>(va::Event::Task), context);
  va::VxEventTask event;
  event.name = Utf8(name);
  event.reason = Utf8(reason);
  event.elapsed = std::make_shared<float>(elapsed);
  event.result = std::make_shared<va::VxResult>(va::VxResult::Success);
  tracker->trackTask(event, context);
}

void ReportClickEvent(PropertyMap properties, const std::wstring& name) {
  auto tracker = ActiveTracker();
  if (!tracker) return;
  va::VxContextProperties context;
  BuildContext(properties, static_cast<int>(va::Event::Click), context);
  va::VxEventClick event;
  event.name = Utf8(name);
  event.clickType = va::ClickType::Button;
  tracker->trackClick(event, context);
}

void ReportViewEvent(PropertyMap properties) {
  auto tracker = ActiveTracker();
  if (!tracker) return;
  va::VxContextProperties context;
  BuildContext(properties, static_cast<int>(va::Event::View), context);
  va::VxEventView event;
  event.name = Utf8(kViewName);
  tracker->trackView(event, context);
}

void ReportCrashEvent() {
  auto tracker = ActiveTracker();
  if (!tracker) return;
  tracker->trackCrash(Utf8(kCrashReason));
}
