#pragma once
// The installer's effective configuration: built-in defaults, then the INI file
// "VexloInstallerConfig.ini" beside the executable, then the command line, each
// overriding the one before. Written only on the main thread before the main window
// exists; read-only (and read without locking) from then on.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Command-line switches: key (compared exactly, case-sensitive) to value. The first
// value of a repeated key stays (std::map::emplace never overwrites).
using CommandLineMap = std::map<std::wstring, std::wstring>;

class InstallerConfig {
 public:
  static constexpr const wchar_t* kDefaultDownloadUrl = L"http://dl.parlino.vexlo.com/software/390";
  static constexpr const wchar_t* kIniFileName = L"VexloInstallerConfig.ini";
  static constexpr const wchar_t* kIniSection = L"Install";
  static constexpr const wchar_t* kRouteToken = L"${ROUTE}";
  static constexpr const wchar_t* kRouteDefault = L"download_silent";
  static constexpr const wchar_t* kRouteXp = L"download_silent_xp";

  // The static defaults only; the process-wide instance (GetInstallerConfig) also
  // loads the INI file beside the executable.
  InstallerConfig();

  // Reads the INI file beside `exePath` (if it exists) and records the executable's
  // file name. Always sets m_AppName and m_AppVersion. Never fails: a missing file
  // leaves the defaults, unreadable numbers follow the conversion rules below.
  void LoadInstallerIni(const std::wstring& exePath);
  // ... beside the running executable.
  void LoadInstallerIni();

  // Applies the switches of an argument vector whose first element is the program
  // path. Unknown switches are ignored.
  void ParseCommandLine(const std::vector<std::wstring>& args);
  // ... of the running process's own command line.
  void ParseCommandLine();

  // Stores ApplyRoute(url) in m_DownloadUrl.
  void SetDownloadUrl(const std::wstring& url);
  // The URL with every "${ROUTE}" replaced by the route for the running system
  // (asked only when the token is present).
  static std::wstring ApplyRoute(const std::wstring& url);
  // ... for the given Windows version name: "download_silent_xp" when it contains
  // "XP", otherwise "download_silent".
  static std::wstring ApplyRoute(const std::wstring& url, const std::wstring& windowsVersionName);

  // Fields, in this order (the engine's `config` command prints them so).
  std::wstring m_AppName = L"Parlino";
  std::wstring m_AppVersion = L"1.7.9";
  std::wstring m_ExeName = L"NULL";
  std::wstring m_DlAppNameSuffix = L".downloader";
  std::wstring m_DlAppVersion;
  std::wstring m_InstCmd;
  std::wstring m_DownloadUrl;
  int32_t m_DownloadType = 1;
  bool m_IsCheckNet = false;
  bool m_IsEnableAnalytics = true;
  double m_DownloadScale = 0.7;
  bool m_IsCurlReady = true;
  std::wstring m_AbGroup = L"IN";
  int32_t m_Language = -1;
  bool m_IsInsNew = false;
};

// The process-wide configuration. A function-local static, so that code running during
// another file's static initialisation gets a fully built record whatever the order
// of initialisation; installer_config.cpp also touches it during its own static
// initialisation, so it is built (defaults, then the INI file) before the entry point
// even when nothing asks for it earlier.
InstallerConfig& GetInstallerConfig();

// Splits arguments into switches: an element starting with "-" and containing "="
// gives (text before the first "=", text after it); any other element gives
// (element, empty value).
CommandLineMap BuildCommandLineMap(const std::vector<std::wstring>& args);

// Conversions of configuration texts.
// Integer: leading white space, optional sign, the longest run of decimal digits;
// no digits give 0; a value beyond the 32-bit range is clamped to it.
int32_t ConfigTextToInt(const std::wstring& text);
// Double: leading white space, then the longest decimal prefix (sign, digits with an
// optional point, optional exponent). Words such as "inf" or "nan" and hexadecimal
// forms are not numbers here. Empty when there is no such prefix or its magnitude is
// out of the double range (too large, or so small that only zero is left); the caller
// picks the fallback (0.0 for the INI file, NaN for a switch).
std::optional<double> ConfigTextToDouble(const std::wstring& text);
// Boolean: true exactly for "true".
bool ConfigTextToBool(const std::wstring& text);

// The running process's own argument vector, the program path first.
std::vector<std::wstring> ProcessCommandLineArgs();
