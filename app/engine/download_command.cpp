#include <cstdio>

#include "app/engine/commands.h"

int RunDownloadCommand(const EngineArgs&) {
  std::fputs("parlino-engine: 'download' is not available in this build\n", stderr);
  return 2;
}
