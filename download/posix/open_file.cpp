#include <cstdio>
#include <string>

#include "download/file_io.h"
#include "utils/text.h"

FILE* OpenFile(const std::wstring& path, const wchar_t* mode) {
  const std::string narrowPath = Utils::WideToMultiByte(path, Utils::kCodePageAnsi);
  const std::string narrowMode = Utils::WideToMultiByte(mode, Utils::kCodePageUtf8);
  if (narrowPath.empty()) return nullptr;
  return std::fopen(narrowPath.c_str(), narrowMode.c_str());
}
