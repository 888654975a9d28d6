#include <cstdio>

#include "app/engine/commands.h"

int RunReportCommand(const EngineArgs&) {
  std::fputs("parlino-engine: 'report' is not available in this build\n", stderr);
  return 2;
}
