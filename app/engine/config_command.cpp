// parlino-engine config [installer switches...]: the effective configuration after the
// defaults, the INI file beside this executable and the given switches.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <system_error>

#include "app/engine/commands.h"
#include "app/installer_config.h"
#include "utils/os.h"
#include "utils/text.h"

namespace {

// printf's %g (6 significant digits, two-digit exponent) on every platform; NaN of any
// sign prints as "nan".
constexpr int kDoublePrecision = 6;
constexpr size_t kDoubleChars = 64;

std::string DoubleText(double value) {
  if (std::isnan(value)) return "nan";
  char buffer[kDoubleChars];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, kDoublePrecision);
  if (result.ec != std::errc()) return "?";
  return std::string(buffer, result.ptr);
}

void PrintLine(const char* name, const std::string& value) { std::printf("%s=%s\n", name, value.c_str()); }
void PrintLine(const char* name, const std::wstring& value) { PrintLine(name, Utils::WideToUtf8(value)); }
void PrintLine(const char* name, bool value) { PrintLine(name, std::string(value ? "true" : "false")); }
void PrintLine(const char* name, int32_t value) { PrintLine(name, std::to_string(value)); }
void PrintLine(const char* name, double value) { PrintLine(name, DoubleText(value)); }

}  // namespace

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
