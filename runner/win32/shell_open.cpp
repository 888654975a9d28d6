#include "runner/shell_open.h"

#include <windows.h>
#include <shellapi.h>

namespace {

// ShellExecuteW reports success with a value above 32.
constexpr INT_PTR kShellExecuteOk = 32;

}  // namespace

bool ShellOpen(const std::wstring& target, bool maximised) {
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > kShellExecuteOk;
}
