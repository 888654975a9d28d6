#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "app/shell_paths.h"

std::wstring SpecialFolderPath(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return L"";
  return path;
}

bool IsSameDirectory(const std::wstring& from, const std::wstring& to) {
  wchar_t relative[MAX_PATH] = {};
  if (!PathRelativePathToW(relative, from.c_str(), FILE_ATTRIBUTE_DIRECTORY, to.c_str(), FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  return std::wstring(relative) == L".";
}
