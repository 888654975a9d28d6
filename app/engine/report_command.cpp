// parlino-engine report: the installer's whole analytics path as a black box. Starts
// the tracker from the configuration exactly as the installer does, reports one event
// of each kind the installer uses, and releases the tracker (which sends or stages).
#include <curl/curl.h>

#include <cstdio>

#include "app/engine/commands.h"
#include "app/installer_config.h"
#include "app/reporting.h"

namespace {
const PropertyMap kAbProperties = {{L"AB", L"IN"}};
}

int RunReportCommand(const EngineArgs& args) {
  if (!args.empty()) {
    std::fputs("usage: parlino-engine report   (the server is $PARLINO_ANALYTICS_URL or the default)\n", stderr);
    return 2;
  }
  if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) {
    std::fputs("parlino-engine: libcurl initialisation failed\n", stderr);
    return 1;
  }
  if (!GetInstallerConfig().m_IsEnableAnalytics) {
    std::fputs("parlino-engine: analytics is disabled by the configuration; nothing reported\n", stdout);
    curl_global_cleanup();
    return 0;
  }
  StartTracker();
  ReportTaskEvent(L"下载器启动", 0, L"", kAbProperties);
  ReportClickEvent(kAbProperties, L"立即安装");
  ReportViewEvent(kAbProperties);
  ReportCrashEvent();
  ReleaseTracker();
  curl_global_cleanup();
  std::fputs("parlino-engine: reported task, click, view and crash events\n", stdout);
  return 0;
}
