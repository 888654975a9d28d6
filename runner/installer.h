#pragma once
// CInstaller runs the downloaded package hidden with the silent-install switches,
// reads its standard output and turns the package console protocol into statuses.
//
// Statuses, in order: IST_CODE_START, IST_CODE_PROGRESS (0.0), then those of the
// package's lines, and finally exactly one of:
//  - the package's own final line ("State=Success", "State=Fail", "Error="): once a
//    block held one, nothing more is parsed or sent; the runner keeps draining the
//    package's output until it ends, so the package never blocks on a full pipe;
//  - (IST_CODE_FAIL, 2.0) when the package could not be started (command line of
//    1024 characters or more, pipes or process not created);
//  - (IST_CODE_FAIL, 3.0, "安装包异常退出") when the package crashed without a final line;
//  - (INSTALL_SUCCESS, 1.0) when it ended normally without a final line (its exit
//    code is not used).
// Destroying the runner waits for its worker. A package that has not given its final
// line yet is ended first (the attempt is abandoned) and nothing more is sent; one that
// has is left to finish its work.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "download/status_callback.h"
#include "runner/child_run.h"
#include "runner/install_status.h"
#include "utils/thread.h"

class CInstaller {
 public:
  static constexpr const wchar_t* kThreadName = L"ABDEF";
  // The pause after each block read from the package, which sets the pace of reading.
  static constexpr uint32_t kExitCheckSleepMs = 100;
  static constexpr const wchar_t* kStateFailText = L"安装包安装失败";
  static constexpr const wchar_t* kCrashText = L"安装包异常退出";

  struct Version {
    int32_t major = 0;
    int32_t minor = 0;
    int32_t patch = 0;
  };

  CInstaller(StatusCallback callback, std::wstring packageCommand, std::wstring installDir, bool desktopShortcut,
             bool quickLaunchShortcut, bool adminAccount);
  ~CInstaller();
  CInstaller(const CInstaller&) = delete;
  CInstaller& operator=(const CInstaller&) = delete;

  // Builds the command line, waits for a previous worker, starts a new one; returns at once.
  void Start();
  // The package command, then " /S -console=show -version=1.0.0", the four flags, the
  // language, m_InstCmd of the configuration, and the install directory twice.
  std::wstring BuildCommandLine() const;
  // The worker body.
  uint32_t Run();
  // Handles one decoded block: 0 without a final line, 1 when the last final line
  // reported success, 1000 when it reported a failure.
  int32_t Parse(const std::wstring& text);

  void SetInstallDir(const std::wstring& dir) { m_InstallDir = dir; }
  void SetDesktopShortcut(bool on) { m_DesktopShortcut = on; }
  void SetQuickLaunchShortcut(bool on) { m_QuickLaunchShortcut = on; }
  void SetAdminAccount(bool on) { m_AdminAccount = on; }
  void SetElevated(bool on) { m_Elevated = on; }
  void SetInstallLanguage(const std::wstring& language) { m_InstallLanguage = language; }
  // Called on the worker at the very end of every run, after the package has ended
  // (or could not be started) and after the last status. Set it before Start.
  void SetEndedHandler(std::function<void()> handler) { m_OnEnded = std::move(handler); }

  const std::wstring& PackageCommand() const { return m_PackageCommand; }
  const std::wstring& InstallDir() const { return m_InstallDir; }
  const std::wstring& CommandLine() const { return m_CommandLine; }
  int32_t CodePage() const { return m_CodePage; }
  const Version& InstalledVersion() const { return m_InstalledVersion; }

 private:
  void RunPackage();
  void Send(int32_t code, double value, const std::wstring& text);

  StatusCallback m_Callback;
  std::wstring m_PackageCommand;
  std::wstring m_InstallDir;
  std::wstring m_CommandLine;
  bool m_QuickLaunchShortcut;
  bool m_DesktopShortcut;
  int32_t m_CodePage = 0;
  std::unique_ptr<Utils::Thread> m_Worker;
  ChildRun m_Process;  // the running package
  Version m_InstalledVersion;
  bool m_AdminAccount;
  bool m_Elevated = true;
  std::wstring m_InstallLanguage;

  std::function<void()> m_OnEnded;
};
