#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "utils/os.h"
#include "utils/text.h"

namespace Utils {

const wchar_t kPathSeparator = L'/';

namespace {

constexpr size_t kCopyBlockBytes = 64 * 1024;
constexpr size_t kMaxModulePathBytes = 4096;

std::string Narrow(const std::wstring& path) { return WideToMultiByte(path, kCodePageAnsi); }

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

UniqueFile OpenFile(const std::wstring& path, const char* mode) {
  const std::string narrow = Narrow(path);
  if (narrow.empty()) return nullptr;
  return UniqueFile(std::fopen(narrow.c_str(), mode));
}

// Both names reach the same file (the same name, a link, or another spelling).
bool SameFile(const std::wstring& a, const std::wstring& b) {
  struct stat first, second;
  return stat(Narrow(a).c_str(), &first) == 0 && stat(Narrow(b).c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

std::wstring DrivePart(const std::wstring& path) {
  // The nearest existing ancestor stands for the volume that holds the path.
  std::wstring current = path;
  while (!current.empty() && !PathExists(current)) {
    const std::wstring parent = DirectoryPart(current);
    if (parent.empty()) return current[0] == L'/' ? L"/" : L".";
    current = parent;
  }
  return current.empty() ? L"." : current;
}

bool PathExists(const std::wstring& path) {
  struct stat info;
  const std::string narrow = Narrow(path);
  return !narrow.empty() && stat(narrow.c_str(), &info) == 0;
}

bool IsDirectory(const std::wstring& path) {
  struct stat info;
  const std::string narrow = Narrow(path);
  return !narrow.empty() && stat(narrow.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeDirectory(const std::wstring& path) {
  const std::string narrow = Narrow(path);
  return !narrow.empty() && mkdir(narrow.c_str(), 0777) == 0;
}

bool DeleteFilePath(const std::wstring& path) {
  const std::string narrow = Narrow(path);
  struct stat info;
  // DeleteFileW removes files only.
  if (narrow.empty() || lstat(narrow.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  return unlink(narrow.c_str()) == 0;
}

bool MoveFileReplace(const std::wstring& from, const std::wstring& to) {
  const std::string a = Narrow(from), b = Narrow(to);
  return !a.empty() && !b.empty() && std::rename(a.c_str(), b.c_str()) == 0;
}

bool CopyFilePath(const std::wstring& from, const std::wstring& to) {
  // Opening the target would empty the source before a byte is read.
  if (SameFile(from, to)) return false;
  UniqueFile in = OpenFile(from, "rb");
  if (!in) return false;
  UniqueFile out = OpenFile(to, "wb");
  if (!out) return false;
  char block[kCopyBlockBytes];
  for (;;) {
    const size_t n = std::fread(block, 1, sizeof block, in.get());
    if (n > 0 && std::fwrite(block, 1, n, out.get()) != n) return false;
    if (n < sizeof block) break;
  }
  if (std::ferror(in.get())) return false;
  return std::fclose(out.release()) == 0;
}

int64_t FileSize(const std::wstring& path) {
  struct stat info;
  const std::string narrow = Narrow(path);
  if (narrow.empty() || stat(narrow.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return static_cast<int64_t>(info.st_size);
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  UniqueFile in = OpenFile(path, "rb");
  if (!in) return false;
  char block[kCopyBlockBytes];
  for (;;) {
    const size_t n = std::fread(block, 1, sizeof block, in.get());
    bytes.append(block, n);
    if (n < sizeof block) break;
  }
  if (std::ferror(in.get())) {
    bytes.clear();
    return false;
  }
  return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  UniqueFile out = OpenFile(path, "wb");
  if (!out) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size()) return false;
  return std::fclose(out.release()) == 0;
}

std::wstring GetModulePath() {
  char buffer[kMaxModulePathBytes];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return MultiByteToWide(std::string(buffer, static_cast<size_t>(n)), kCodePageAnsi);
}

std::optional<std::wstring> GetEnv(const std::wstring& name) {
  const std::string narrow = Narrow(name);
  if (narrow.empty()) return std::nullopt;
  const char* value = std::getenv(narrow.c_str());
  if (!value) return std::nullopt;
  return MultiByteToWide(value, kCodePageAnsi);
}

uint32_t CurrentProcessId() { return static_cast<uint32_t>(getpid()); }
uint32_t CurrentThreadId() { return static_cast<uint32_t>(gettid()); }

std::wstring GetTempFolder() {
  std::wstring folder = GetEnv(L"TMPDIR").value_or(L"");
  if (folder.empty() || !IsDirectory(folder)) folder = L"/tmp";
  if (folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

LocalTime GetLocalTimeNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm parts{};
  localtime_r(&now.tv_sec, &parts);
  return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                   parts.tm_min,         parts.tm_sec,     static_cast<int>(now.tv_nsec / 1000000)};
}

uint32_t TickCountMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace Utils
