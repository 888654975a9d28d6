#include "download/probe_report.h"

#include <memory>
#include <mutex>

#include "app/reporting.h"

namespace {
constexpr float kElapsedNone = 0.0f;
std::mutex g_HookLock;
std::shared_ptr<const ProbeReportHook> g_Hook;
}  // namespace

void SetProbeReportHookForTesting(ProbeReportHook hook) {
  std::lock_guard<std::mutex> lock(g_HookLock);
  g_Hook = hook ? std::make_shared<const ProbeReportHook>(std::move(hook)) : nullptr;
}

void ReportProbeFailure(const std::wstring& reason) {
  std::shared_ptr<const ProbeReportHook> hook;
  {
    std::lock_guard<std::mutex> lock(g_HookLock);
    hook = g_Hook;
  }
  if (hook) {
    (*hook)(kProbeFailureEventName, kElapsedNone, reason, {{L"AB", L"IN"}});
    return;
  }
  ReportTaskEvent(kProbeFailureEventName, kElapsedNone, reason, PropertyMap{{L"AB", L"IN"}});
}
