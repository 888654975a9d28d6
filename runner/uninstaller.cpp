#include "runner/uninstaller.h"

#include "runner/console_protocol.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace {

const wchar_t* BoolText(bool value) { return value ? L"true" : L"false"; }

}  // namespace

CUnInstaller::CUnInstaller(StatusCallback callback, std::wstring uninstallerPath, std::wstring uninstallDir)
    : m_Callback(std::move(callback)),
      m_UninstallerPath(std::move(uninstallerPath)),
      m_UninstallDir(std::move(uninstallDir)) {}

CUnInstaller::~CUnInstaller() {
  Stop();
  m_Worker.reset();  // joins
}

void CUnInstaller::Stop() {
  std::lock_guard<std::mutex> guard(m_ProcessLock);
  m_Stopping = true;
  // A package that has given its final line is finishing its own work: let it end.
  if (m_Process && !m_FinalLineSeen) m_Process->Terminate();
}

void CUnInstaller::Start() {
  m_CommandLine = BuildCommandLine();
  m_Worker.reset();
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
  line += BoolText(adminAccount);
  line += L" -authorizationact=";
  line += BoolText(elevated);
  line += L" -console=show _?=";
  line += m_UninstallDir;
  return line;
}

void CUnInstaller::MarkFinalLine() {
  std::lock_guard<std::mutex> guard(m_ProcessLock);
  m_FinalLineSeen = true;
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
  ChildProcess* process = nullptr;
  try {
    auto created = std::make_unique<ChildProcess>();
    created->Launch(m_CommandLine);
    std::lock_guard<std::mutex> guard(m_ProcessLock);
    m_Process = std::move(created);
    process = m_Process.get();
    if (m_Stopping) process->Terminate();
  } catch (const Utils::Exception&) {
    Send(UNIST_CODE_FAIL, kFailValueLaunch, L"");
    return 0;
  }

  // Read until the pipe ends or the uninstaller is gone with nothing left in it, so
  // that a final line written just before it ended is not lost.
  bool successPending = true;
  char block[ConsoleProtocol::kReadBlockBytes];
  while (true) {
    const size_t count = process->ReadOutput(block, sizeof block);
    if (count == 0) break;
    if (Parse(ConsoleProtocol::DecodeBlock(block, count, m_CodePage)) != 0) {
      successPending = false;
      break;
    }
  }
  process->WaitDiscardingOutput();
  const bool crashed = process->EndedAbnormally();
  bool stopping;
  {
    std::lock_guard<std::mutex> guard(m_ProcessLock);
    m_Process.reset();
    stopping = m_Stopping;
  }
  if (!successPending || stopping) return 0;
  if (crashed) {
    Send(UNIST_CODE_ERROR, kFailValueCrash, kCrashText);
  } else {
    Send(UNIST_CODE_SUCCESS, 1.0, L"");
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
      MarkFinalLine();
      Send(UNIST_CODE_ERROR, 0.0, value);
      result = 1000;
    } else if (MatchKey(line, L"State=", value)) {
      const std::wstring state = Utils::Trim(value);
      if (state == L"Success") {
        MarkFinalLine();
        Send(UNIST_CODE_SUCCESS, 0.0, L"");
        result = 1;
      } else if (state == L"Fail") {
        MarkFinalLine();
        Send(UNIST_CODE_ERROR, kFailValueStateLine, kStateFailText);
        result = 1000;
      }
    } else if (MatchKey(line, L"Encode=", value)) {
      m_CodePage = UninstallCodePage(value);
    }
  }
  return result;
}
