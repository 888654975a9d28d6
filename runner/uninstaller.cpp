#include "runner/uninstaller.h"

#include "runner/command_line.h"
#include "runner/console_protocol.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

CUnInstaller::CUnInstaller(StatusCallback callback, std::wstring uninstallerPath, std::wstring uninstallDir)
    : m_Callback(std::move(callback)),
      m_UninstallerPath(std::move(uninstallerPath)),
      m_UninstallDir(std::move(uninstallDir)) {}

CUnInstaller::~CUnInstaller() {
  // An uninstaller that has given its final line is finishing its own work: it is let end.
  m_Process.Stop();
  m_Worker.reset();  // joins
}

void CUnInstaller::Start() {
  m_Worker.reset();  // waits for a previous run, which reads the command line
  m_CommandLine = BuildCommandLine();
  m_Worker = std::make_unique<Utils::Thread>(this, kThreadName,
                                             [](void* self) { return static_cast<CUnInstaller*>(self)->Run(); });
  if (!m_Worker->IsValid()) {
    m_Worker.reset();
    Send(UNIST_CODE_FAIL, kFailValueLaunch, L"");
    return;
  }
  m_Worker->Resume();
}

std::wstring CUnInstaller::BuildCommandLine() const {
  return BuildCommandLine(Utils::IsAdminAccount(), Utils::IsProcessAdmin());
}

std::wstring CUnInstaller::BuildCommandLine(bool adminAccount, bool elevated) const {
  // A path with blanks would otherwise be split into program and arguments.
  const bool quote = m_UninstallerPath.find_first_of(L" \t") != std::wstring::npos;
  std::wstring line = quote ? L"\"" + m_UninstallerPath + L"\"" : m_UninstallerPath;
  line += L" /S -adminact=";
  line += SwitchBool(adminAccount);
  line += L" -authorizationact=";
  line += SwitchBool(elevated);
  line += L" -console=show _?=";
  line += m_UninstallDir;
  return line;
}

void CUnInstaller::Send(int32_t code, double value, const std::wstring& text) {
  if (m_Callback) m_Callback(code, value, text.c_str());
}

uint32_t CUnInstaller::Run() {
  if (!Utils::PathExists(m_UninstallerPath)) {
    Send(UNIST_CODE_FAIL, kFailValueMissingFile, kMissingFileText);
    return 0;
  }
  Send(UNIST_CODE_PROGRESS, 0.0, L"");
  const auto onBlock = [this](const char* bytes, size_t count) {
    return Parse(ConsoleProtocol::DecodeBlock(bytes, count, m_CodePage)) != 0;
  };
  // No pause between blocks: the uninstaller's output is read as fast as it comes.
  switch (m_Process.Run(m_CommandLine, onBlock, 0)) {
    case ChildRun::Outcome::LaunchFailed:
      Send(UNIST_CODE_FAIL, kFailValueLaunch, L"");
      break;
    case ChildRun::Outcome::Crashed:
      Send(UNIST_CODE_ERROR, kFailValueCrash, kCrashText);
      break;
    case ChildRun::Outcome::Ended:
      Send(UNIST_CODE_SUCCESS, 1.0, L"");
      break;
    case ChildRun::Outcome::FinalLine:  // the uninstaller's own status is out
    case ChildRun::Outcome::Stopped:    // the attempt was abandoned
      break;
  }
  return 0;
}

int32_t CUnInstaller::Parse(const std::wstring& text) {
  using namespace ConsoleProtocol;
  int32_t result = 0;
  std::wstring value;
  for (const std::wstring& line : SplitLines(text)) {
    if (MatchKey(line, L"Progress=", value)) {
      Send(UNIST_CODE_PROGRESS, ScanDouble(value), L"");
    } else if (MatchKey(line, L"Error=", value)) {
      m_Process.MarkFinalLine();
      Send(UNIST_CODE_ERROR, 0.0, value);
      result = 1000;
    } else if (MatchKey(line, L"State=", value)) {
      const std::wstring state = Utils::Trim(value);
      if (state == L"Success") {
        m_Process.MarkFinalLine();
        Send(UNIST_CODE_SUCCESS, 0.0, L"");
        result = 1;
      } else if (state == L"Fail") {
        m_Process.MarkFinalLine();
        Send(UNIST_CODE_ERROR, kFailValueStateLine, kStateFailText);
        result = 1000;
      }
    } else if (MatchKey(line, L"Encode=", value)) {
      m_CodePage = UninstallCodePage(value);
    }
  }
  return result;
}
