#include "app/shell_paths.h"

#include "utils/os.h"

namespace {

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (path.size() > 1 && path.back() == L'/') path.pop_back();
  return path;
}

}  // namespace

std::wstring SpecialFolderPath(int) {
  if (auto data = Utils::GetEnv(L"XDG_DATA_HOME"); data && !data->empty()) return WithoutTrailingSeparators(*data);
  auto home = Utils::GetEnv(L"HOME");
  if (!home || home->empty()) return L"";
  return Utils::JoinPath(Utils::JoinPath(WithoutTrailingSeparators(*home), L".local"), L"share");
}

bool IsSameDirectory(const std::wstring& from, const std::wstring& to) {
  if (from.empty() || to.empty()) return false;
  return WithoutTrailingSeparators(from) == WithoutTrailingSeparators(to);
}
