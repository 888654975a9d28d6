#include "app/install_records.h"

#include <clocale>
#include <cwchar>

#include "app/shell_paths.h"
#include "utils/os.h"
#include "utils/probes.h"

namespace InstallRecords {

namespace {

constexpr const wchar_t* kProductName = L"Parlino";
constexpr const wchar_t* kDataFolderName = L"VexloData";
constexpr const wchar_t* kInitSection = L"Init";
constexpr const char* kRecordsLocale = "en_GB.UTF-8";
constexpr size_t kMaxEnvChars = 260;
constexpr size_t kIsOverrideChars = 20;
constexpr size_t kTimeChars = 64;

std::wstring LocalTimeText() {
  const Utils::LocalTime t = Utils::GetLocalTimeNow();
  wchar_t text[kTimeChars];
  std::swprintf(text, kTimeChars, L"%d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

}  // namespace

std::wstring SettingsFilePath(const std::wstring& installDir) { return Utils::JoinPath(installDir, L"set.ini"); }

std::wstring AnalyticsDataDir() {
  std::wstring base;
  if (auto appData = Utils::GetEnv(L"APPDATA"); appData && !appData->empty() && appData->size() < kMaxEnvChars) {
    base = *appData;
  } else {
    base = SpecialFolderPath(kFolderCommonDocuments);
  }
  return Utils::JoinPath(Utils::JoinPath(base, kDataFolderName), kProductName);
}

void ReadInstallRecords(std::wstring& oldInstallDir, std::wstring& oldUninstEp) {
  oldInstallDir.clear();
  oldUninstEp.clear();
  if (!Utils::RegGetString(kRegistryKey, kInstallPathValue, oldInstallDir)) oldInstallDir.clear();
  if (!Utils::RegGetString(kRegistryKey, kUninstallEpValue, oldUninstEp)) oldUninstEp.clear();
  if (oldUninstEp.empty() && !oldInstallDir.empty()) {
    oldUninstEp = oldInstallDir + Utils::kPathSeparator + kDefaultUninstallerName;
  }
}

void WriteRegistryValues(const std::wstring& installDir, std::wstring& uninstEp) {
  Utils::RegSetString(kRegistryKey, kInstallPathValue, installDir);
  if (uninstEp.empty()) uninstEp = installDir + Utils::kPathSeparator + kDefaultUninstallerName;
  if (Utils::PathExists(uninstEp)) Utils::RegSetString(kRegistryKey, kUninstallEpValue, uninstEp);
}

void WriteInstallRecords(const std::wstring& installDir) {
  const std::wstring settings = SettingsFilePath(installDir);
  const std::wstring installerName = Utils::FileNamePart(Utils::GetModulePath());
  std::setlocale(LC_ALL, kRecordsLocale);  // stays in force, as the product expects
  Utils::WriteProfileString(settings, kSettingsSection, L"APPStore", installerName);
  Utils::WriteProfileString(settings, kSettingsSection, L"AppName", kProductName);
  Utils::WriteProfileString(settings, kSettingsSection, L"DeviceID", Utils::NewGuidText());

  const std::wstring dataDir = AnalyticsDataDir();
  if (!Utils::CreateDirectoryTree(dataDir)) return;
  const std::wstring analyticsIni = dataDir + Utils::kPathSeparator + kAnalyticsIniName;
  Utils::WriteProfileString(settings, kSettingsSection, L"VXAnalyticsIni", analyticsIni);
  Utils::WriteProfileString(analyticsIni, kInitSection, L"UpdateTime", LocalTimeText());
}

bool KeepsOldVersion(const std::wstring& oldInstallDir, const std::wstring& dir) {
  if (!IsSameDirectory(oldInstallDir, dir)) return false;
  return Utils::GetProfileString(SettingsFilePath(dir), kUninstallSection, L"IsOverride", L"true", kIsOverrideChars) ==
         L"false";
}

}  // namespace InstallRecords
