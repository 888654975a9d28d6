#include "app/failure_reasons.h"

#include <cmath>
#include <cstdint>
#include <cwchar>

#include "app/com_scope.h"
#include "app/reporting.h"
#include "utils/os.h"
#include "utils/probes.h"

namespace FailureReasons {

namespace {

constexpr double kBytesPerGiB = 1073741824.0;
constexpr size_t kNumberChars = 64;

std::wstring Cut(std::wstring reason) {
  if (reason.size() > kReasonBufferChars - 1) reason.resize(kReasonBufferChars - 1);
  return reason;
}

std::wstring Number(long value) { return std::to_wstring(value); }

std::wstring Fixed2(double value) {
  wchar_t text[kNumberChars];
  std::swprintf(text, kNumberChars, L"%.2f", value);
  return text;
}

}  // namespace

long StatusValueCode(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  if (value <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  return static_cast<long>(value);
}

std::wstring DetailedReason(double value, const std::wstring& text, double freeGiB, bool writable, uint32_t network) {
  std::wstring reason = L"1.code=" + Number(StatusValueCode(value));
  reason += L"；2.msg=" + text;
  reason += L"；3.缓存磁盘容量=" + Fixed2(freeGiB) + L"G";
  reason += L"；4.缓存读写权限=";
  reason += writable ? kReadable : kNoAccess;
  reason += L"；5.服务器连接状态code=" + std::to_wstring(static_cast<int32_t>(network));
  return Cut(reason);
}

std::wstring ShortReason(double value, const std::wstring& text) {
  return Cut(L":1.code=" + Number(StatusValueCode(value)) + L"；2.msg=" + text);
}

bool ProbeWriteAccess(const std::wstring& packagePath) {
  if (Utils::PathExists(packagePath)) return Utils::DeleteFilePath(packagePath);
  if (!Utils::WriteWholeFile(packagePath, std::string())) return false;
  Utils::DeleteFilePath(packagePath);
  return true;
}

double FreeSpaceGiB(const std::wstring& path) {
  Utils::HardDiskManager disk;
  if (!disk.CheckFreeSpace(Utils::DrivePart(path))) return 0.0;
  return static_cast<double>(disk.m_FreeBytesAvailable) / kBytesPerGiB;
}

void ReportDownloadFailure(const std::wstring& packagePath, double value, const std::wstring& text,
                           const std::wstring& abGroup) {
  uint32_t network = 0;
  {
    ComScope com;
    network = Utils::CheckNetwork();
  }
  const bool writable = ProbeWriteAccess(packagePath);
  const double freeGiB = FreeSpaceGiB(packagePath);
  ReportTaskEvent(kDownloadReportName, 0.0f, DetailedReason(value, text, freeGiB, writable, network),
                  {{L"AB", abGroup}});
}

void ReportShortFailure(bool download, double value, const std::wstring& text, const std::wstring& abGroup) {
  ReportTaskEvent(download ? kDownloadReportName : kInstallReportName, 0.0f, ShortReason(value, text),
                  {{L"AB", abGroup}});
}

}  // namespace FailureReasons
