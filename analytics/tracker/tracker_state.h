#pragma once
// The installation's identity and the files that keep it between runs: the data
// directory, the settings file (sections "Base" and "UninstallInfo") and the optional
// pointer file "Set.ini" beside the executable. Failures to create directories or to
// write the settings file are silent; missing files and values read as empty.
#include <atomic>
#include <string>

namespace vexlo::analytics {

struct TrackerState {
  bool isLogined = false;
  std::string userId;
  std::string distinctId;
  std::string primaryDistinctId;
  int vipLevel = 0;
  std::string logFilePath;
  std::string locale;
  std::string dataDirectory;  // ends with a separator
  std::string settingsFile;
  std::string storedUrl;
  std::atomic<int> pendingCount{0};

  // Data directory and settings file for the app, from the pointer file beside
  // `executablePath` or else under `baseFolder`. Creates the directories.
  void ResolvePaths(const std::string& appName, const std::string& executablePath, const std::string& baseFolder);
  // Reads "Base", makes a distinct id when there is none, and logs out an identity
  // that belongs to another server URL.
  void LoadIdentity(const std::string& serverUrl);
  void SaveIdentity() const;
  void WriteAppSection(const std::string& appStore, const std::string& appName, const std::string& appVersion) const;
};

// Normalises both separators to the platform's one.
std::string NormaliseSeparators(std::string path);

}  // namespace vexlo::analytics
