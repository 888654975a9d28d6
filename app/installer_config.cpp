#include "app/installer_config.h"

#include <charconv>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

// Nothing here writes trace lines: the process-wide record is built during static
// initialisation, possibly before the trace's own globals exist.

namespace {

// The INI buffer of the Windows profile functions: values longer than 259 characters
// are cut.
constexpr size_t kIniValueChars = 260;
constexpr const wchar_t* kTrueText = L"true";

bool IsConfigSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

size_t SkipSpace(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && IsConfigSpace(text[i])) ++i;
  return i;
}

size_t SkipDigits(const std::wstring& text, size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

std::wstring IniString(const std::wstring& iniPath, const wchar_t* key, const std::wstring& defaultValue) {
  return Utils::GetProfileString(iniPath, InstallerConfig::kIniSection, key, defaultValue, kIniValueChars);
}

}  // namespace

int32_t ConfigTextToInt(const std::wstring& text) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  size_t i = SkipSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  // Accumulate the magnitude, saturating just past the range so that any number of
  // digits fits in 64 bits.
  int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - L'0');
    if (magnitude > kMax + 1) magnitude = kMax + 1;
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (value > kMax) return static_cast<int32_t>(kMax);
  if (value < kMin) return static_cast<int32_t>(kMin);
  return static_cast<int32_t>(value);
}

std::optional<double> ConfigTextToDouble(const std::wstring& text) {
  const size_t start = SkipSpace(text);
  size_t i = start;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
  const size_t intStart = i;
  i = SkipDigits(text, i);
  size_t mantissaDigits = i - intStart;
  if (i < text.size() && text[i] == L'.') {
    const size_t fracStart = i + 1;
    const size_t fracEnd = SkipDigits(text, fracStart);
    mantissaDigits += fracEnd - fracStart;
    if (mantissaDigits > 0) i = fracEnd;
  }
  if (mantissaDigits == 0) return std::nullopt;
  // An exponent counts only when digits follow it ("3e" is 3).
  if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
    size_t e = i + 1;
    if (e < text.size() && (text[e] == L'+' || text[e] == L'-')) ++e;
    const size_t expEnd = SkipDigits(text, e);
    if (expEnd > e) i = expEnd;
  }

  // The prefix is plain ASCII by construction; from_chars takes no leading '+' and
  // does not depend on the locale.
  std::string prefix;
  prefix.reserve(i - start);
  for (size_t k = start; k < i; ++k) {
    if (k == start && text[k] == L'+') continue;
    prefix.push_back(static_cast<char>(text[k]));
  }
  double value = 0.0;
  const auto result = std::from_chars(prefix.data(), prefix.data() + prefix.size(), value);
  if (result.ec != std::errc() || result.ptr != prefix.data() + prefix.size()) return std::nullopt;
  return value;
}

bool ConfigTextToBool(const std::wstring& text) { return text == kTrueText; }

CommandLineMap BuildCommandLineMap(const std::vector<std::wstring>& args) {
  CommandLineMap map;
  for (const std::wstring& arg : args) {
    const size_t equals = arg.find(L'=');
    if (!arg.empty() && arg[0] == L'-' && equals != std::wstring::npos) {
      map.emplace(arg.substr(0, equals), arg.substr(equals + 1));
    } else {
      map.emplace(arg, std::wstring());
    }
  }
  return map;
}

InstallerConfig::InstallerConfig() { SetDownloadUrl(kDefaultDownloadUrl); }

std::wstring InstallerConfig::ApplyRoute(const std::wstring& url, const std::wstring& windowsVersionName) {
  if (url.find(kRouteToken) == std::wstring::npos) return url;
  const wchar_t* route = windowsVersionName.find(L"XP") != std::wstring::npos ? kRouteXp : kRouteDefault;
  return Utils::ReplaceAll(url, kRouteToken, route);
}

std::wstring InstallerConfig::ApplyRoute(const std::wstring& url) {
  if (url.find(kRouteToken) == std::wstring::npos) return url;
  std::wstring family;
  std::wstring version;
  Utils::GetWindowsVersionName(family, version);
  return ApplyRoute(url, version);
}

void InstallerConfig::SetDownloadUrl(const std::wstring& url) { m_DownloadUrl = ApplyRoute(url); }

void InstallerConfig::LoadInstallerIni(const std::wstring& exePath) {
  // Without a path there is no directory to look in; the root is not a stand-in.
  if (!exePath.empty()) {
    m_ExeName = Utils::FileNamePart(exePath);
    const std::wstring dir = Utils::DirectoryPart(exePath);
    const std::wstring iniPath = dir.empty() ? std::wstring(kIniFileName) : Utils::JoinPath(dir, kIniFileName);
    if (Utils::PathExists(iniPath)) {
      SetDownloadUrl(IniString(iniPath, L"DownloadUrl", kDefaultDownloadUrl));
      // The profile-integer rule: a missing or empty value gives the default.
      const std::wstring type = IniString(iniPath, L"DownloadType", L"");
      m_DownloadType = type.empty() ? 1 : ConfigTextToInt(type);
      m_IsCheckNet = ConfigTextToBool(IniString(iniPath, L"IsCheckNet", kTrueText));
      m_IsEnableAnalytics = ConfigTextToBool(IniString(iniPath, L"IsEnableAnalytics", kTrueText));
      m_DlAppNameSuffix = IniString(iniPath, L"DlAppNameSuffix", L".downloader");
      m_DlAppVersion = IniString(iniPath, L"m_DlAppVersion", L"");
      m_DownloadScale = ConfigTextToDouble(IniString(iniPath, L"DownloadScale", L"0.7")).value_or(0.0);
      m_InstCmd = IniString(iniPath, L"InstCmd", L"");
    }
  }
  m_AppName = L"Parlino";
  m_AppVersion = L"1.7.9";
}

void InstallerConfig::LoadInstallerIni() { LoadInstallerIni(Utils::GetModulePath()); }

void InstallerConfig::ParseCommandLine(const std::vector<std::wstring>& args) {
  const CommandLineMap map = BuildCommandLineMap(args);
  auto find = [&map](const wchar_t* key) -> const std::wstring* {
    const auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
  };
  if (const std::wstring* v = find(L"-downloadurl")) SetDownloadUrl(*v);
  if (const std::wstring* v = find(L"-downloadtype")) m_DownloadType = ConfigTextToInt(*v);
  if (const std::wstring* v = find(L"-downloadscale")) {
    m_DownloadScale = ConfigTextToDouble(*v).value_or(std::numeric_limits<double>::quiet_NaN());
  }
  if (const std::wstring* v = find(L"-ischecknet")) m_IsCheckNet = ConfigTextToBool(*v);
  if (const std::wstring* v = find(L"-isenableanalytics")) m_IsEnableAnalytics = ConfigTextToBool(*v);
  if (const std::wstring* v = find(L"-dlappnamesuffix")) m_DlAppNameSuffix = *v;
  if (const std::wstring* v = find(L"-dlappversion")) m_DlAppVersion = *v;
  if (const std::wstring* v = find(L"-instcmd")) m_InstCmd = *v;
  if (const std::wstring* v = find(L"-language")) m_Language = ConfigTextToInt(*v);
  if (const std::wstring* v = find(L"-insnew")) m_IsInsNew = ConfigTextToBool(*v);
}

void InstallerConfig::ParseCommandLine() { ParseCommandLine(ProcessCommandLineArgs()); }

InstallerConfig& GetInstallerConfig() {
  static InstallerConfig config = [] {
    InstallerConfig loaded;
    loaded.LoadInstallerIni();
    return loaded;
  }();
  return config;
}

namespace {
// Builds the record during this file's static initialisation at the latest.
[[maybe_unused]] const InstallerConfig& g_BuiltAtStartup = GetInstallerConfig();
}  // namespace
