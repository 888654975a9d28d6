#pragma once
// The records an installation leaves for the next run: two registry values under the
// current user that locate it and its uninstaller, the settings file "set.ini" in the
// install directory (installer, device id, pointer to the analytics settings file),
// and the analytics settings file's update time. Every write ignores its result: a
// read-only directory or key leaves the record missing, without a message.
#include <string>

namespace InstallRecords {

constexpr const wchar_t* kRegistryKey = L"Software\\VexloSoft\\Parlino";
constexpr const wchar_t* kInstallPathValue = L"InstallPath";
constexpr const wchar_t* kUninstallEpValue = L"UnInstallEp";
constexpr const wchar_t* kDefaultUninstallerName = L"uninst.ep";
constexpr const wchar_t* kSettingsSection = L"Install";
constexpr const wchar_t* kUninstallSection = L"Uninstall";
constexpr const wchar_t* kAnalyticsIniName = L"VXAnalytics.ini";

// "set.ini" in the directory.
std::wstring SettingsFilePath(const std::wstring& installDir);
// $APPDATA (or the shared documents folder) joined with "VexloData" and "Parlino".
std::wstring AnalyticsDataDir();

// Reads "InstallPath" and "UnInstallEp"; a missing key or value leaves the field
// empty. Without "UnInstallEp" the uninstaller is the directory's "uninst.ep".
void ReadInstallRecords(std::wstring& oldInstallDir, std::wstring& oldUninstEp);
// After a successful install: "InstallPath" = installDir; an empty uninstEp becomes the
// directory's "uninst.ep"; "UnInstallEp" is written only when that file exists.
void WriteRegistryValues(const std::wstring& installDir, std::wstring& uninstEp);
// "set.ini" (APPStore, AppName, a fresh DeviceID, and VXAnalyticsIni when the analytics
// data directory exists or could be created) and the analytics file's "UpdateTime".
void WriteInstallRecords(const std::wstring& installDir);
// The "IsOverride" rule: true exactly when dir is the old installation's directory and
// its "set.ini" says "IsOverride=false"; the old uninstaller is then not run.
bool KeepsOldVersion(const std::wstring& oldInstallDir, const std::wstring& dir);

}  // namespace InstallRecords
