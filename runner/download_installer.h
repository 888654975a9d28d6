#pragma once
// CDownloadInstaller drives one installation attempt: an old version's uninstaller
// first (when one exists), then the download by the configured downloader, then the
// silent install. Every status of every worker reaches the owner callback unchanged,
// before the runner acts on it. It owns no thread: Start runs on the caller's thread,
// the status handlers on the workers' threads.
//
// The package is deleted after the install ends either way (once the package process
// has ended, after its final status) and after the download fails; the package of an
// earlier attempt (the last package path, process-wide and guarded by a lock) is
// deleted with it. Failed deletions are ignored.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "download/downloader.h"
#include "download/status_callback.h"
#include "runner/installer.h"
#include "runner/uninstaller.h"

class CDownloadInstaller {
 public:
  static constexpr const wchar_t* kPackagePrefix = L"__Package_";
  static constexpr const wchar_t* kProductName = L"Parlino";
  static constexpr const wchar_t* kProductExeName = L"Parlino.exe";
  static constexpr const wchar_t* kTempUninstallerName = L"Parlino_un_asa.exe";
  // How often the running product is looked for while waiting for it to exit.
  static constexpr uint32_t kProductWaitSleepMs = 100;
  static constexpr size_t kMaxPathChars = 260;

  CDownloadInstaller(StatusCallback owner, std::wstring downloadUrl, std::wstring oldUninstallerPath,
                     std::wstring installDir, bool desktopShortcut, bool quickLaunchShortcut, bool adminAccount);
  // Stops the workers (a running package or uninstaller is ended) and waits for them.
  ~CDownloadInstaller();
  CDownloadInstaller(const CDownloadInstaller&) = delete;
  CDownloadInstaller& operator=(const CDownloadInstaller&) = delete;

  void SetParams(std::wstring downloadUrl, std::wstring oldInstallDir, std::wstring oldUninstallerPath,
                 std::wstring installDir, bool desktopShortcut, bool quickLaunchShortcut, bool adminAccount,
                 bool elevated, std::wstring installLanguage);
  // Begins the attempt; returns once the first worker has been started. With
  // m_IsInsNew and an old uninstaller it first waits, without limit, until no
  // "Parlino.exe" runs.
  void Start();

  // install directory + "__Package_Parlino.exe"
  std::wstring GetPackagePath() const;
  // The installer's temporary folder + "Parlino_un_asa.exe"; empty without the folder.
  std::wstring GetTempUninstallerPath() const;
  // The old uninstaller's directory.
  std::wstring GetUninstallerDir() const;

  // The package path the last cleanup recorded (process-wide).
  static std::wstring LastPackagePath();

 private:
  void OnDownloadStatus(int32_t code, double value, const wchar_t* text);
  void OnUninstallStatus(int32_t code, double value, const wchar_t* text);
  void OnInstallStatus(int32_t code, double value, const wchar_t* text);
  // Deletes the package and the last package path's file; the package becomes the last.
  void CleanupPackage(const std::wstring& packagePath);
  // The package path of the current attempt.
  std::wstring PackagePath();
  // For a final install status: the package is removed once its process has ended.
  void RemovePackageWhenEnded();
  void Forward(int32_t code, double value, const wchar_t* text);

  std::unique_ptr<CUnInstaller> m_Uninstaller;
  std::unique_ptr<CDownloader> m_Downloader;
  std::unique_ptr<CInstaller> m_Installer;
  std::wstring m_DownloadUrl;
  std::wstring m_OldUninstallerPath;
  std::wstring m_InstallDir;
  std::wstring m_PackagePath;
  std::wstring m_OldInstallDir;
  std::wstring m_InstallLanguage;
  bool m_DesktopShortcut;
  bool m_QuickLaunchShortcut;
  bool m_AdminAccount;
  bool m_Elevated = true;
  StatusCallback m_Owner;
  // m_PackagePath and m_PackageToRemove: Start of the next attempt may run while the
  // last attempt's handlers and installer worker still do (the owner sees each status
  // before they act, and a package may run on after its final line).
  std::mutex m_PathLock;
  // The package a final install status asked to remove once it has ended; taken when
  // the status comes, since a next attempt may fix another package path meanwhile.
  std::wstring m_PackageToRemove;
};
