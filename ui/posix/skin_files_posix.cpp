#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <memory>

#include "ui/skin_files.h"
#include "ui/text_decoding.h"
#include "utils/unicode.h"

namespace SkinUI {

const wchar_t kSkinPathSeparator = L'/';

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

std::string NativePath(const std::wstring& path) {
  std::string narrow = Utils::Unicode::EncodeUtf8(path.data(), path.size());
  for (char& c : narrow) {
    if (c == '\\') c = '/';
  }
  return narrow;
}

}  // namespace

LooseFileResult ReadLooseFile(const std::wstring& path, uint64_t maxBytes, std::vector<uint8_t>& bytes) {
  bytes.clear();
  if (path.empty()) return LooseFileResult::OpenFailed;
  UniqueFile file(std::fopen(NativePath(path).c_str(), "rb"));
  if (!file) return LooseFileResult::OpenFailed;
  struct stat info {};
  if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) return LooseFileResult::OpenFailed;
  const uint64_t size = static_cast<uint64_t>(info.st_size);
  if (size == 0) return LooseFileResult::Empty;
  if (size > maxBytes) return LooseFileResult::TooLarge;
  bytes.resize(static_cast<size_t>(size));
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    bytes.clear();
    return LooseFileResult::ReadFailed;
  }
  return LooseFileResult::Ok;
}

std::wstring ModuleFolder(void* module) {
  if (module == nullptr) return std::wstring();
  char buffer[PATH_MAX + 1];
  const ssize_t n = readlink("/proc/self/exe", buffer, PATH_MAX);
  if (n <= 0) return std::wstring();
  std::string path(buffer, static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return std::wstring();
  path.resize(slash + 1);
  return Utf8ToWideLenient(reinterpret_cast<const uint8_t*>(path.data()), path.size());
}

std::wstring AnsiToWide(const uint8_t* bytes, size_t length) { return Utf8ToWideLenient(bytes, length); }

}  // namespace SkinUI
