#include "app/install_dir.h"

#include "app/shell_paths.h"
#include "utils/os.h"

namespace {

constexpr const wchar_t* kProductFolder = L"Parlino";
constexpr const wchar_t* kVendorFolder = L"Ostrel";
constexpr size_t kMaxEnvChars = 260;

}  // namespace

std::wstring DefaultInstallDir(const std::wstring& oldInstallDir, const std::wstring& oldUninstEp,
                               bool isUserAdminAccount, bool isProcessAdmin) {
  if (!oldInstallDir.empty() && Utils::PathExists(oldUninstEp)) return oldInstallDir;
  std::wstring base;
  if (isUserAdminAccount && isProcessAdmin) {
    if (auto appData = Utils::GetEnv(L"APPDATA"); appData && !appData->empty() && appData->size() < kMaxEnvChars) {
      base = Utils::JoinPath(*appData, kVendorFolder);
    }
  }
  if (base.empty()) base = SpecialFolderPath(kFolderProgramFilesX86);
  if (base.empty()) base = SpecialFolderPath(kFolderProgramFiles);
  return Utils::JoinPath(base, kProductFolder);
}
