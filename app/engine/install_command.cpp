// parlino-engine install [installer switches...] [--dir DIR]: one installation attempt
// as the window runs it after a one-click install, without the window: the old
// installation's records, the checks before starting, the runner, and the reactions to
// every status (reports, records, launching the product). Every status is printed as
// "code value text" when it is handled; the exit code is 0 exactly when the attempt
// ended with INSTALL_SUCCESS.
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>

#include "app/com_scope.h"
#include "app/engine/commands.h"
#include "app/failure_reasons.h"
#include "app/install_dir.h"
#include "app/install_records.h"
#include "app/installer_config.h"
#include "app/reporting.h"
#include "download/status_codes.h"
#include "runner/download_installer.h"
#include "runner/shell_open.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr double kMinFreeGiB = 1.0;
constexpr size_t kMinStartUrlChars = 6;
constexpr const wchar_t* kRunningText = L"安装程序检测到Parlino\r\n正在运行，请退出程序后再安装";
constexpr const wchar_t* kInvalidPathText = L"无效路径";
constexpr const wchar_t* kLowSpaceText = L"磁盘空间不足，请至少保留1GB可用空间";
constexpr const wchar_t* kPoorNetworkText = L"当前网络环境较差，请在网络通畅时进行安装";

struct StatusRecord {
  int32_t code;
  double value;
  std::wstring text;
};

void Print(const char* label, const std::wstring& text) {
  std::printf("%s%s\n", label, Utils::WideToUtf8(text).c_str());
  std::fflush(stdout);
}

// A path reported by the package, as the line gave it: the line's carriage return
// (and any other surrounding white space) is not part of the path.
std::wstring ReportedPath(const std::wstring& text) { return Utils::Trim(text); }

class InstallAttempt {
 public:
  explicit InstallAttempt(std::wstring dir) : m_RequestedDir(std::move(dir)) {}

  int Run() {
    InstallRecords::ReadInstallRecords(m_OldInstallDir, m_OldUninstEp);
    m_HasOldInstall = !m_OldInstallDir.empty();
    m_IsUserAdminAccount = Utils::IsAdminAccount();
    m_IsProcessAdmin = Utils::IsProcessAdmin();
    if (m_HasOldInstall) Print("old installation: ", m_OldInstallDir);
    const std::wstring dir = m_RequestedDir.empty()
                                 ? DefaultInstallDir(m_OldInstallDir, m_OldUninstEp, m_IsUserAdminAccount, m_IsProcessAdmin)
                                 : m_RequestedDir;
    m_Runner = std::make_unique<CDownloadInstaller>(
        [this](int32_t code, double value, const wchar_t* text) { Post(code, value, text); }, L"", L"", L"", true, true,
        true);
    if (!StartInstall(dir)) return kExitFailure;
    return HandleStatuses();
  }

 private:
  const InstallerConfig& Config() const { return GetInstallerConfig(); }
  PropertyMap Ab() const { return {{L"AB", m_AbGroup}}; }

  // The worker side: copy and queue; all reactions run on this command's thread.
  void Post(int32_t code, double value, const wchar_t* text) {
    std::lock_guard<std::mutex> guard(m_Lock);
    m_Queue.push_back({code, value, text ? text : L""});
    m_Changed.notify_all();
  }

  bool StartInstall(const std::wstring& dir) {
    const bool insNew = Config().m_IsInsNew;
    if (!insNew && (Utils::FindProcessByName(CDownloadInstaller::kTempUninstallerName) != 0 ||
                    Utils::FindProcessByName(CDownloadInstaller::kProductExeName) != 0)) {
      Print("refused: ", kRunningText);
      return false;
    }
    if (!Utils::CreateDirectoryTree(dir)) {
      Print("refused: ", kInvalidPathText);
      return false;
    }
    if (FailureReasons::FreeSpaceGiB(dir) < kMinFreeGiB) {
      Print("refused: ", kLowSpaceText);
      return false;
    }
    m_InstallDir = dir;
    const std::wstring uninstaller =
        InstallRecords::KeepsOldVersion(m_OldInstallDir, dir) ? std::wstring() : m_OldUninstEp;
    m_Runner->SetParams(Config().m_DownloadUrl, m_OldInstallDir, uninstaller, dir, true, true, m_IsUserAdminAccount,
                        m_IsProcessAdmin, L"");
    if (Config().m_IsCheckNet) {
      uint32_t network = 0;
      {
        ComScope com;
        network = Utils::CheckNetwork();
      }
      if (Utils::VerdictOf(network) != Utils::kVerdictInternet) {
        Print("refused: ", kPoorNetworkText);
        return false;
      }
    }
    Print("install directory: ", dir);
    ReportViewEvent(Ab());
    m_Runner->Start();
    return true;
  }

  int HandleStatuses() {
    while (!m_Finished) Handle(Next());
    // The workers may still report after the last status that mattered (the same
    // package block can hold two final lines): stop them, then handle what came.
    m_Runner.reset();
    while (!m_Queue.empty()) {
      Handle(m_Queue.front());
      m_Queue.pop_front();
    }
    if (m_Succeeded) {
      Print("installed product: ", m_ExePath);
      Print("install directory: ", m_InstallDir);
    }
    return m_Succeeded ? kExitSuccess : kExitFailure;
  }

  StatusRecord Next() {
    std::unique_lock<std::mutex> guard(m_Lock);
    m_Changed.wait(guard, [this] { return !m_Queue.empty(); });
    StatusRecord record = std::move(m_Queue.front());
    m_Queue.pop_front();
    return record;
  }

  float ElapsedSeconds() const {
    return m_DownloadClockRunning ? static_cast<float>(Utils::TickCountMs() - m_DownloadStart) / 1000.0f : 0.0f;
  }

  void Handle(const StatusRecord& r) {
    std::printf("%d %g %s\n", r.code, r.value, Utils::WideToUtf8(r.text).c_str());
    std::fflush(stdout);
    switch (r.code) {
      case DL_CODE_START:
        if (!m_DownloaderStartReported) {
          m_DownloaderStartReported = true;
          m_AbGroup = Config().m_AbGroup;
          ReportTaskEvent(L"下载器启动", 0.0f, L"", Ab());
        }
        m_DownloadStart = Utils::TickCountMs();
        m_DownloadClockRunning = true;
        ReportTaskEvent(L"开始下载大包", 0.0f, L"", Ab());
        break;
      case DL_CODE_SUCCESS:
        ReportTaskEvent(L"大包下载完毕", ElapsedSeconds(), L"", Ab());
        break;
      case DL_CODE_FAIL:
        FailureReasons::ReportDownloadFailure(m_Runner ? m_Runner->GetPackagePath() : L"", r.value, r.text, m_AbGroup);
        Finish(false);
        break;
      case DL_CODE_MD5:
        FailureReasons::ReportShortFailure(true, r.value, r.text, m_AbGroup);
        break;
      case IST_CODE_START:
        InstallRecords::WriteInstallRecords(m_InstallDir);
        break;
      case INSTALL_SUCCESS:
        ReportTaskEvent(L"安装成功", 0.0f, L"", Ab());
        OnInstallSucceeded();
        Finish(true);
        break;
      case IST_CODE_FAIL:
        FailureReasons::ReportShortFailure(false, r.value, r.text, m_AbGroup);
        Print("failed: ", r.text.empty() ? std::wstring(L"安装失败") : r.text);
        Finish(false);
        break;
      case IST_INFO_INSTPATH:
        m_InstallDir = ReportedPath(r.text);
        break;
      case IST_INFO_EXEPATH:
        m_ExePath = ReportedPath(r.text);
        break;
      case IST_INFO_UNINSTEP:
        m_UninstEp = ReportedPath(r.text);
        break;
      case IST_INFO_STARTURL:
        m_StartUrl = ReportedPath(r.text);
        break;
      case IST_INFO_STARTUPSTYLE:
        m_StartupStyle = static_cast<int>(r.value);
        break;
      case IST_INFO_MESSAGE:
        Print("message: ", r.text);
        break;
      case UNIST_CODE_FAIL:
      case UNIST_CODE_ERROR:
        Print("failed: ", kRunningText);
        Finish(false);
        break;
      default:
        break;
    }
  }

  void Finish(bool succeeded) {
    m_Succeeded = succeeded && !m_Failed;
    m_Failed = m_Failed || !succeeded;
    m_Finished = true;
  }

  void OnInstallSucceeded() {
    InstallRecords::WriteRegistryValues(m_InstallDir, m_UninstEp);
    InstallRecords::WriteInstallRecords(m_InstallDir);
    if (m_StartupStyle == kStartupAuto) LaunchProduct();
  }

  void LaunchProduct() {
    if (m_StartUrl.size() >= kMinStartUrlChars) ShellOpen(m_StartUrl, true);
    if (Utils::PathExists(m_ExePath)) {
      Print("starting product: ", m_ExePath);
      ShellOpen(m_ExePath);
    }
  }

  std::wstring m_RequestedDir;
  std::unique_ptr<CDownloadInstaller> m_Runner;
  std::mutex m_Lock;
  std::condition_variable m_Changed;
  std::deque<StatusRecord> m_Queue;
  bool m_Finished = false;
  bool m_Succeeded = false;
  bool m_Failed = false;

  std::wstring m_OldInstallDir;
  std::wstring m_OldUninstEp;
  bool m_HasOldInstall = false;
  bool m_IsUserAdminAccount = false;
  bool m_IsProcessAdmin = false;
  std::wstring m_InstallDir;
  std::wstring m_ExePath;
  std::wstring m_UninstEp;
  std::wstring m_StartUrl;
  int m_StartupStyle = kStartupNone;
  std::wstring m_AbGroup = L"IN";
  bool m_DownloaderStartReported = false;
  uint32_t m_DownloadStart = 0;
  bool m_DownloadClockRunning = false;
};

}  // namespace

int RunInstallCommand(const EngineArgs& args) {
  std::wstring dir;
  std::vector<std::wstring> switches{L"parlino-engine"};
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--dir") {
      if (i + 1 >= args.size()) {
        std::fputs("usage: parlino-engine install [installer switches...] [--dir DIR]\n", stderr);
        return kExitUsage;
      }
      dir = args[++i];
    } else {
      switches.push_back(args[i]);
    }
  }
  GetInstallerConfig().ParseCommandLine(switches);
  StartTracker();
  const int result = InstallAttempt(dir).Run();
  ReleaseTracker();
  return result;
}
