#pragma once
// CUnInstaller runs a temporary copy of the old version's uninstaller silently and
// turns a subset of the package console protocol into uninstall statuses.
//
// Statuses: (UNIST_CODE_FAIL, 1.0, "可执行卸载文件不存在") alone when the copy is missing;
// otherwise UNIST_CODE_PROGRESS (0.0), those of the uninstaller's lines, and finally
// exactly one of:
//  - its own final line ("State=Success" 5003, "State=Fail" or "Error=" 5005): once a
//    block held one nothing more is parsed or sent, and the output is drained until
//    the uninstaller ends;
//  - (UNIST_CODE_FAIL, 2.0) when it could not be started (command line of 1024
//    characters or more, pipes or process not created);
//  - (UNIST_CODE_ERROR, 3.0, "卸载程序异常退出") when it crashed without a final line;
//  - (UNIST_CODE_SUCCESS, 1.0) when it ended normally without a final line.
// Destroying the runner waits for its worker; an uninstaller that has not given its
// final line yet is ended first and nothing more is sent.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "download/status_callback.h"
#include "runner/child_run.h"
#include "runner/install_status.h"
#include "utils/thread.h"

class CUnInstaller {
 public:
  static constexpr const wchar_t* kThreadName = L"UnInstaller";
  static constexpr const wchar_t* kMissingFileText = L"可执行卸载文件不存在";
  static constexpr const wchar_t* kStateFailText = L"安装包卸载失败";
  static constexpr const wchar_t* kCrashText = L"卸载程序异常退出";

  CUnInstaller(StatusCallback callback, std::wstring uninstallerPath, std::wstring uninstallDir);
  ~CUnInstaller();
  CUnInstaller(const CUnInstaller&) = delete;
  CUnInstaller& operator=(const CUnInstaller&) = delete;

  // Builds the command line and starts the worker; returns at once.
  void Start();
  // "PATH /S -adminact=.. -authorizationact=.. -console=show _?=DIR" with the two
  // flags asked from the system now. The path is quoted only when it holds a blank;
  // the directory never is ("_?=" takes the rest of the line).
  std::wstring BuildCommandLine() const;
  // ... with the two flags given.
  std::wstring BuildCommandLine(bool adminAccount, bool elevated) const;
  uint32_t Run();
  // 0 without a final line, 1 after a success line, 1000 after a failure line.
  int32_t Parse(const std::wstring& text);

  int32_t CodePage() const { return m_CodePage; }

 private:
  void Send(int32_t code, double value, const std::wstring& text);

  StatusCallback m_Callback;
  std::wstring m_CommandLine;
  std::wstring m_UninstallerPath;
  std::wstring m_UninstallDir;
  int32_t m_CodePage = 0;
  std::unique_ptr<Utils::Thread> m_Worker;
  ChildRun m_Process;  // the running uninstaller
};
