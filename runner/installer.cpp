#include "runner/installer.h"

#include "app/installer_config.h"
#include "runner/command_line.h"
#include "runner/console_protocol.h"
#include "utils/debug_log.h"
#include "utils/os.h"
#include "utils/text.h"

namespace {

int StartupStyleNumber(const std::wstring& value) {
  const std::wstring style = Utils::Trim(value);
  if (style == L"AutoStartup") return kStartupAuto;
  if (style == L"UserStartup") return kStartupUser;
  return kStartupNone;  // "NonStartup" and anything else
}

}  // namespace

CInstaller::CInstaller(StatusCallback callback, std::wstring packageCommand, std::wstring installDir,
                       bool desktopShortcut, bool quickLaunchShortcut, bool adminAccount)
    : m_Callback(std::move(callback)),
      m_PackageCommand(std::move(packageCommand)),
      m_InstallDir(std::move(installDir)),
      m_QuickLaunchShortcut(quickLaunchShortcut),
      m_DesktopShortcut(desktopShortcut),
      m_AdminAccount(adminAccount) {}

CInstaller::~CInstaller() {
  // A package that has given its final line is finishing its own work: it is let end.
  m_Process.Stop();
  m_Worker.reset();  // joins
}

void CInstaller::Start() {
  m_Worker.reset();  // waits for a previous run, which reads the command line
  m_CommandLine = BuildCommandLine();
  m_Worker = std::make_unique<Utils::Thread>(this, kThreadName,
                                             [](void* self) { return static_cast<CInstaller*>(self)->Run(); });
  if (!m_Worker->IsValid()) {
    // Without a worker nothing would ever report: count it as a failed launch.
    m_Worker.reset();
    Send(IST_CODE_FAIL, kFailValueLaunch, L"");
    if (m_OnEnded) m_OnEnded();
    return;
  }
  m_Worker->Resume();
}

std::wstring CInstaller::BuildCommandLine() const {
  std::wstring line = m_PackageCommand;
  line += L" /S -console=show -version=1.0.0";
  line += L" -adminact=";
  line += SwitchBool(m_AdminAccount);
  line += L" -authorizationact=";
  line += SwitchBool(m_Elevated);
  line += L" -dsc=";
  line += SwitchBool(m_DesktopShortcut);
  line += L" -ssc=";
  line += SwitchBool(m_QuickLaunchShortcut);
  if (!m_InstallLanguage.empty()) line += L" -inslang=\"" + m_InstallLanguage + L"\"";
  const std::wstring& instCmd = GetInstallerConfig().m_InstCmd;
  if (!instCmd.empty()) line += L" " + instCmd;
  if (!m_InstallDir.empty()) {
    line += L" -instdir=\"" + m_InstallDir + L"\"";
    line += L" /D=" + m_InstallDir;  // must stay the very last item
  }
  return line;
}

void CInstaller::Send(int32_t code, double value, const std::wstring& text) {
  if (m_Callback) m_Callback(code, value, text.c_str());
}

uint32_t CInstaller::Run() {
  RunPackage();
  if (m_OnEnded) m_OnEnded();
  return 0;
}

void CInstaller::RunPackage() {
  Send(IST_CODE_START, 0.0, L"");
  Send(IST_CODE_PROGRESS, 0.0, L"");
  const auto onBlock = [this](const char* bytes, size_t count) {
    return Parse(ConsoleProtocol::DecodeBlock(bytes, count, m_CodePage)) != 0;
  };
  switch (m_Process.Run(m_CommandLine, onBlock, kExitCheckSleepMs)) {
    case ChildRun::Outcome::LaunchFailed:
      Send(IST_CODE_FAIL, kFailValueLaunch, L"");
      break;
    case ChildRun::Outcome::Crashed:
      Send(IST_CODE_FAIL, kFailValueCrash, kCrashText);
      break;
    case ChildRun::Outcome::Ended:
      Send(INSTALL_SUCCESS, 1.0, L"");
      break;
    case ChildRun::Outcome::FinalLine:  // the package's own status is out
    case ChildRun::Outcome::Stopped:    // the attempt was abandoned
      break;
  }
}

int32_t CInstaller::Parse(const std::wstring& text) {
  using namespace ConsoleProtocol;
  int32_t result = 0;
  std::wstring value;
  for (const std::wstring& line : SplitLines(text)) {
    if (MatchKey(line, L"Progress=", value)) {
      Send(IST_CODE_PROGRESS, ScanDouble(value), L"");
    } else if (MatchKey(line, L"InstPath=", value)) {
      Send(IST_INFO_INSTPATH, 0.0, value);
    } else if (MatchKey(line, L"State=", value)) {
      const std::wstring state = Utils::Trim(value);
      if (state == L"Success") {
        m_Process.MarkFinalLine();
        Send(INSTALL_SUCCESS, 0.0, L"");
        result = 1;
      } else if (state == L"Fail") {
        m_Process.MarkFinalLine();
        Send(IST_CODE_FAIL, kFailValueStateLine, kStateFailText);
        result = 1000;
      }
    } else if (MatchKey(line, L"InstallVersion=", value)) {
      // Each part that can be read replaces the stored one; reading stops at the first miss.
      int32_t* parts[] = {&m_InstalledVersion.major, &m_InstalledVersion.minor, &m_InstalledVersion.patch};
      size_t pos = 0;
      for (size_t i = 0; i < 3; ++i) {
        if (i > 0) {
          if (pos >= value.size() || value[pos] != L'.') break;
          ++pos;
        }
        if (!ScanInt(value, pos, *parts[i])) break;
      }
    } else if (MatchKey(line, L"ExePath=", value)) {
      DebugLog(L"ExePath: %s", value.c_str());
      Send(IST_INFO_EXEPATH, 0.0, value);
    } else if (MatchKey(line, L"StartExe=", value)) {
      Send(IST_INFO_EXEPATH, 0.0, value);
    } else if (MatchKey(line, L"UninstExePath=", value)) {
      Send(IST_INFO_UNINSTEXE, 0.0, value);
    } else if (MatchKey(line, L"UninstExe=", value)) {
      Send(IST_INFO_UNINSTEXE, 0.0, value);
    } else if (MatchKey(line, L"UninstEp=", value)) {
      Send(IST_INFO_UNINSTEP, 0.0, value);
    } else if (MatchKey(line, L"Error=", value)) {
      m_Process.MarkFinalLine();
      Send(IST_CODE_FAIL, kFailValueErrorLine, value);
      result = 1000;
    } else if (MatchKey(line, L"TopShowDetention=", value)) {
      size_t pos = 0;
      int32_t number = 0;
      ScanInt(value, pos, number);
      Send(IST_INFO_TOPSHOW, static_cast<double>(static_cast<uint32_t>(number)), L"");
    } else if (MatchKey(line, L"FinsihCloseDetention=", value)) {
      size_t pos = 0;
      int32_t number = 0;
      ScanInt(value, pos, number);
      Send(IST_INFO_FINISHCLOSE, static_cast<double>(static_cast<uint32_t>(number)), L"");
    } else if (MatchKey(line, L"StartUrl=", value)) {
      Send(IST_INFO_STARTURL, 0.0, value);
    } else if (MatchKey(line, L"StartupStyle=", value)) {
      Send(IST_INFO_STARTUPSTYLE, StartupStyleNumber(value), L"");
    } else if (MatchKey(line, L"Encode=", value)) {
      m_CodePage = InstallCodePage(value);
    } else if (MatchKey(line, L"Message=", value)) {
      Send(IST_INFO_MESSAGE, 0.0, value);
    }
  }
  return result;
}
