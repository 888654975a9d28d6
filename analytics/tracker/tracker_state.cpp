#include "analytics/tracker/tracker_state.h"

#include "analytics/tracker/guid.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace vexlo::analytics {

namespace {
constexpr size_t kSettingsValueChars = 128;
constexpr const char* kPointerFileName = "Set.ini";
constexpr const char* kSettingsSuffix = "_VXSConfigure.ini";
constexpr const char* kDataFolderName = "VXLocal";

std::wstring W(const std::string& utf8) { return Utils::MultiByteToWide(utf8, Utils::kCodePageUtf8); }
std::string U(const std::wstring& wide) { return Utils::WideToUtf8(wide); }
char Separator() { return static_cast<char>(Utils::kPathSeparator); }

std::string ReadValue(const std::string& file, const wchar_t* section, const wchar_t* key) {
  return U(Utils::GetProfileString(W(file), section, key, L"", kSettingsValueChars));
}
void WriteValue(const std::string& file, const wchar_t* section, const wchar_t* key, const std::string& value) {
  Utils::WriteProfileString(W(file), section, key, W(value));
}
}  // namespace

std::string NormaliseSeparators(std::string path) {
  for (char& c : path) {
    if (c == '/' || c == '\\') c = Separator();
  }
  return path;
}

void TrackerState::ResolvePaths(const std::string& appName, const std::string& executablePath,
                                const std::string& baseFolder) {
  const char sep = Separator();
  std::string exe = NormaliseSeparators(executablePath);
  std::string pointerFile = exe.substr(0, exe.rfind(sep) + 1) + kPointerFileName;
  std::string configured;
  if (Utils::PathExists(W(pointerFile))) {
    configured = NormaliseSeparators(U(Utils::GetProfileString(W(pointerFile), L"Install", L"VXAnalyticsIni", L"")));
  }
  if (configured.empty() || configured.find(sep) == std::string::npos) {
    dataDirectory = baseFolder + sep + kDataFolderName + sep;
    Utils::CreateDirectoryTree(W(dataDirectory));
    dataDirectory += appName + sep;
    Utils::CreateDirectoryTree(W(dataDirectory));
    settingsFile = dataDirectory + appName + kSettingsSuffix;
  } else {
    settingsFile = configured;
    dataDirectory = configured.substr(0, configured.rfind(sep) + 1);
    Utils::CreateDirectoryTree(W(dataDirectory));
  }
}

void TrackerState::LoadIdentity(const std::string& serverUrl) {
  userId.clear();
  distinctId.clear();
  primaryDistinctId.clear();
  storedUrl.clear();
  isLogined = false;
  if (!settingsFile.empty() && Utils::PathExists(W(settingsFile))) {
    distinctId = ReadValue(settingsFile, L"Base", L"DistinctId");
    primaryDistinctId = ReadValue(settingsFile, L"Base", L"PrimaryDistinctId");
    userId = ReadValue(settingsFile, L"Base", L"UserId");
    vipLevel = Utils::GetProfileInt(W(settingsFile), L"Base", L"UserVipLevel", 0);
    isLogined = ReadValue(settingsFile, L"Base", L"isLogined") == "OK";
    storedUrl = ReadValue(settingsFile, L"Base", L"URL");
    if (primaryDistinctId.empty()) primaryDistinctId = distinctId;
  }
  if (distinctId.empty()) {
    distinctId = MakeGuid();
    SaveIdentity();
  }
  if (storedUrl != serverUrl) {
    userId.clear();
    isLogined = false;
    if (primaryDistinctId.empty()) primaryDistinctId = MakeGuid();
    distinctId = primaryDistinctId;
    storedUrl = serverUrl;
    SaveIdentity();
  }
  if (userId.empty()) isLogined = false;
}

void TrackerState::SaveIdentity() const {
  if (settingsFile.empty()) return;
  WriteValue(settingsFile, L"Base", L"DistinctId", distinctId);
  WriteValue(settingsFile, L"Base", L"PrimaryDistinctId", primaryDistinctId);
  WriteValue(settingsFile, L"Base", L"UserId", userId);
  WriteValue(settingsFile, L"Base", L"UserVipLevel", std::to_string(vipLevel));
  WriteValue(settingsFile, L"Base", L"URL", storedUrl);
  WriteValue(settingsFile, L"Base", L"isLogined", isLogined ? "OK" : "NG");
}

void TrackerState::WriteAppSection(const std::string& appStore, const std::string& appName,
                                   const std::string& appVersion) const {
  if (settingsFile.empty()) return;
  WriteValue(settingsFile, L"UninstallInfo", L"AppStore", appStore);
  WriteValue(settingsFile, L"UninstallInfo", L"AppName", appName);
  WriteValue(settingsFile, L"UninstallInfo", L"AppVersion", appVersion);
}

}  // namespace vexlo::analytics
