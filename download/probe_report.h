#pragma once
// The one analytics report the download engine makes itself: a length probe that got
// an unusable answer becomes the task event "下载失败原因".
#include <functional>
#include <map>
#include <string>

inline constexpr const wchar_t* kProbeFailureEventName = L"下载失败原因";

// Reports (name, elapsed 0, reason, {"AB": "IN"}). Never fails towards the caller.
void ReportProbeFailure(const std::wstring& reason);

// With a hook installed the hook receives the report instead of analytics. For tests.
using ProbeReportHook = std::function<void(const std::wstring& name, float elapsed, const std::wstring& reason,
                                           const std::map<std::wstring, std::wstring>& properties)>;
void SetProbeReportHookForTesting(ProbeReportHook hook);
