#include <cstdio>

#include "app/engine/commands.h"

int RunInstallCommand(const EngineArgs&) {
  std::fputs("parlino-engine: 'install' is not available in this build\n", stderr);
  return 2;
}
