#pragma once
// The application's side of analytics: starting and releasing the process-wide
// tracker, and the four reporting functions every other part calls. The reports do
// nothing while analytics is off or no tracker runs, and never fail towards their
// caller (an A/B label the tracker refuses is dropped, never thrown).
#include <map>
#include <string>

// Ordered key -> value; the installer passes {"AB": <A/B group>}.
using PropertyMap = std::map<std::wstring, std::wstring>;

// Starts the tracker from the configuration when analytics is enabled. The server is
// the tracker's default endpoint, or $PARLINO_ANALYTICS_URL when that is set.
void StartTracker();
// Releases the tracker: up to three attempts to send what is queued, the rest staged.
void ReleaseTracker();

void ReportTaskEvent(const std::wstring& name, float elapsed, const std::wstring& reason, PropertyMap properties);
void ReportClickEvent(PropertyMap properties, const std::wstring& name);
void ReportViewEvent(PropertyMap properties);
void ReportCrashEvent();
