#pragma once
// Where a one-click install goes.
#include <string>

// The old installation's directory when its uninstaller file exists; otherwise
// "APPDATA\Ostrel\Parlino" for an administrator account running elevated (when
// APPDATA can be read), else the 32-bit program files folder (or, failing that, the
// program files folder) joined with "Parlino".
std::wstring DefaultInstallDir(const std::wstring& oldInstallDir, const std::wstring& oldUninstEp,
                               bool isUserAdminAccount, bool isProcessAdmin);
