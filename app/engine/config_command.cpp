// parlino-engine config [installer switches...]: the effective configuration after the
// defaults, the INI file beside this executable and the given switches.
#include <string>

#include "app/engine/commands.h"
#include "app/engine/print_line.h"
#include "app/installer_config.h"
#include "utils/os.h"
#include "utils/text.h"

int RunConfigCommand(const EngineArgs& args) {
  InstallerConfig& config = GetInstallerConfig();
  // As in the installer, the program path is the first element.
  EngineArgs commandLine;
  commandLine.reserve(args.size() + 1);
  commandLine.push_back(Utils::GetModulePath());
  commandLine.insert(commandLine.end(), args.begin(), args.end());
  config.ParseCommandLine(commandLine);

#define PARLINO_PRINT_FIELD(field) PrintLine(#field, config.field)
  PARLINO_PRINT_FIELD(m_AppName);
  PARLINO_PRINT_FIELD(m_AppVersion);
  PARLINO_PRINT_FIELD(m_ExeName);
  PARLINO_PRINT_FIELD(m_DlAppNameSuffix);
  PARLINO_PRINT_FIELD(m_DlAppVersion);
  PARLINO_PRINT_FIELD(m_InstCmd);
  PARLINO_PRINT_FIELD(m_DownloadUrl);
  PARLINO_PRINT_FIELD(m_DownloadType);
  PARLINO_PRINT_FIELD(m_IsCheckNet);
  PARLINO_PRINT_FIELD(m_IsEnableAnalytics);
  PARLINO_PRINT_FIELD(m_DownloadScale);
  PARLINO_PRINT_FIELD(m_IsCurlReady);
  PARLINO_PRINT_FIELD(m_AbGroup);
  PARLINO_PRINT_FIELD(m_Language);
  PARLINO_PRINT_FIELD(m_IsInsNew);
#undef PARLINO_PRINT_FIELD
  return std::fflush(stdout) == 0 ? 0 : 1;
}
