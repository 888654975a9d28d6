#include "runner/download_installer.h"

#include <mutex>

#include "app/installer_config.h"
#include "download/downloader_factory.h"
#include "utils/debug_log.h"
#include "utils/os.h"
#include "utils/probes.h"

namespace {

// The package of an earlier attempt, so that a later cleanup can remove it too.
std::mutex& LastPackageLock() {
  static std::mutex lock;
  return lock;
}
std::wstring& LastPackage() {
  static std::wstring path;
  return path;
}

}  // namespace

CDownloadInstaller::CDownloadInstaller(StatusCallback owner, std::wstring downloadUrl, std::wstring oldUninstallerPath,
                                       std::wstring installDir, bool desktopShortcut, bool quickLaunchShortcut,
                                       bool adminAccount)
    : m_DownloadUrl(std::move(downloadUrl)),
      m_OldUninstallerPath(std::move(oldUninstallerPath)),
      m_InstallDir(std::move(installDir)),
      m_DesktopShortcut(desktopShortcut),
      m_QuickLaunchShortcut(quickLaunchShortcut),
      m_AdminAccount(adminAccount),
      m_Owner(std::move(owner)) {}

CDownloadInstaller::~CDownloadInstaller() {
  // Each worker may start the next one from its status handler, so they go in chain
  // order: the uninstaller (starts the download), the downloader (starts the install),
  // then the installer.
  m_Uninstaller.reset();
  m_Downloader.reset();
  m_Installer.reset();
}

void CDownloadInstaller::SetParams(std::wstring downloadUrl, std::wstring oldInstallDir,
                                   std::wstring oldUninstallerPath, std::wstring installDir, bool desktopShortcut,
                                   bool quickLaunchShortcut, bool adminAccount, bool elevated,
                                   std::wstring installLanguage) {
  m_DownloadUrl = std::move(downloadUrl);
  m_OldInstallDir = std::move(oldInstallDir);
  m_OldUninstallerPath = std::move(oldUninstallerPath);
  m_InstallDir = std::move(installDir);
  m_DesktopShortcut = desktopShortcut;
  m_QuickLaunchShortcut = quickLaunchShortcut;
  m_AdminAccount = adminAccount;
  m_Elevated = elevated;
  m_InstallLanguage = std::move(installLanguage);
}

std::wstring CDownloadInstaller::GetPackagePath() const {
  return m_InstallDir + Utils::kPathSeparator + kPackagePrefix + kProductName + L".exe";
}

std::wstring CDownloadInstaller::GetTempUninstallerPath() const {
  const std::wstring tempDir = Utils::GetInstallerTempDir();
  if (tempDir.empty()) return L"";
  return tempDir + Utils::kPathSeparator + kTempUninstallerName;
}

std::wstring CDownloadInstaller::GetUninstallerDir() const {
  return Utils::DirectoryPart(m_OldUninstallerPath).substr(0, kMaxPathChars);
}

std::wstring CDownloadInstaller::LastPackagePath() {
  std::lock_guard<std::mutex> guard(LastPackageLock());
  return LastPackage();
}

void CDownloadInstaller::Forward(int32_t code, double value, const wchar_t* text) {
  if (m_Owner) m_Owner(code, value, text);
}

void CDownloadInstaller::CleanupPackage(const std::wstring& packagePath) {
  std::lock_guard<std::mutex> guard(LastPackageLock());
  Utils::DeleteFilePath(packagePath);
  if (!LastPackage().empty()) Utils::DeleteFilePath(LastPackage());
  LastPackage() = packagePath;
}

std::wstring CDownloadInstaller::PackagePath() {
  std::lock_guard<std::mutex> guard(m_PathLock);
  return m_PackagePath;
}

void CDownloadInstaller::RemovePackageWhenEnded() {
  std::lock_guard<std::mutex> guard(m_PathLock);
  m_PackageToRemove = m_PackagePath;
}

void CDownloadInstaller::Start() {
  const std::wstring packagePath = GetPackagePath();
  {
    // The handlers of the last attempt's workers may still read it.
    std::lock_guard<std::mutex> guard(m_PathLock);
    m_PackagePath = packagePath;
  }
  const InstallerConfig& config = GetInstallerConfig();
  DebugLog(L"DL_TYPE=%d\r\n", config.m_DownloadType);

  if (!m_Downloader) {
    auto onDownload = [this](int32_t code, double value, const wchar_t* text) {
      // Taken before the owner hears of the failure, after which it may start the next
      // attempt with another package path.
      const std::wstring failedPackage = code == DL_CODE_FAIL ? PackagePath() : std::wstring();
      Forward(code, value, text);
      switch (code) {
        case DL_CODE_START:
          DebugLog(L"DL_CODE_START\r\n");
          Utils::CreateDirectoryTree(m_InstallDir);
          break;
        case DL_CODE_PROGRESS:
          DebugLog(L"DL_CODE_PROGRESS\r\n");
          break;
        case DL_CODE_SUCCESS:
          DebugLog(L"DOWNLOAD_SUCCESS\r\n");
          m_Installer->Start();
          DebugLog(L"DL_CODE_SUCCESS\r\n");
          break;
        case DL_CODE_FAIL:
          DebugLog(L"DL_CODE_FAIL\r\n");
          CleanupPackage(failedPackage);
          break;
        case DL_CODE_RETRY:
          DebugLog(L"DL_CODE_RETRY\r\n");
          m_Downloader->Start();
          break;
        default:
          break;
      }
    };
    m_Downloader = CreateDownloader(config.m_DownloadType, onDownload, m_DownloadUrl, packagePath);
  }
  if (!m_Installer) {
    auto onInstall = [this](int32_t code, double value, const wchar_t* text) {
      // A running package cannot be deleted on Windows, and the package may still run
      // after its final line: the cleanup waits until it has ended. Its path is taken
      // before the owner hears of the end, after which it may start the next attempt.
      if (code == INSTALL_SUCCESS || code == IST_CODE_FAIL) RemovePackageWhenEnded();
      Forward(code, value, text);
      switch (code) {
        case IST_CODE_START:
          DebugLog(L"IST_CODE_START\r\n");
          break;
        case INSTALL_SUCCESS:
          DebugLog(L"INSTALL_SUCCESS\r\n");
          break;
        case IST_CODE_FAIL:
          DebugLog(L"IST_CODE_FAIL\r\n");
          break;
        default:
          break;
      }
    };
    m_Installer = std::make_unique<CInstaller>(onInstall, L"\"" + packagePath + L"\"", m_InstallDir,
                                               m_DesktopShortcut, m_QuickLaunchShortcut, m_AdminAccount);
    m_Installer->SetEndedHandler([this] {
      std::wstring package;
      {
        std::lock_guard<std::mutex> guard(m_PathLock);
        package.swap(m_PackageToRemove);
      }
      if (!package.empty()) CleanupPackage(package);
    });
  }
  m_Installer->SetInstallDir(m_InstallDir);
  m_Installer->SetDesktopShortcut(m_DesktopShortcut);
  m_Installer->SetQuickLaunchShortcut(m_QuickLaunchShortcut);
  m_Installer->SetAdminAccount(m_AdminAccount);
  m_Installer->SetElevated(m_Elevated);
  m_Installer->SetInstallLanguage(m_InstallLanguage);

  if (!m_OldUninstallerPath.empty() && Utils::PathExists(m_OldUninstallerPath)) {
    const std::wstring tempCopy = GetTempUninstallerPath();
    const std::wstring directory = GetUninstallerDir();
    // A failed copy is reported by the uninstall runner as a missing file.
    if (!tempCopy.empty()) Utils::CopyFilePath(m_OldUninstallerPath, tempCopy);
    auto onUninstall = [this](int32_t code, double value, const wchar_t* text) {
      Forward(code, value, text);
      switch (code) {
        case UNIST_CODE_START:
          DebugLog(L"UNIST_CODE_START\r\n");
          break;
        case UNIST_CODE_PROGRESS:
          DebugLog(L"UNIST_CODE_PROGRESS\r\n");
          break;
        case UNIST_CODE_SUCCESS:
          DebugLog(L"UNIST_CODE_SUCCESS\r\n");
          if (m_Installer) m_Downloader->Start();
          break;
        case UNIST_CODE_FAIL:
          DebugLog(L"UNIST_CODE_FAIL\r\n");
          break;
        case UNIST_CODE_ERROR:
          DebugLog(L"UNIST_CODE_ERROR\r\n");
          break;
        default:
          break;
      }
    };
    m_Uninstaller = std::make_unique<CUnInstaller>(onUninstall, tempCopy, directory);
    if (config.m_IsInsNew) {
      while (Utils::FindProcessByName(kProductExeName) != 0) Utils::SleepMs(kProductWaitSleepMs);
    }
    m_Uninstaller->Start();
    return;
  }
  m_Downloader->Start();
}
