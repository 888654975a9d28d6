#pragma once
// Reason texts of the failure reports: a detailed one for a failed download, which
// also measures the machine (network, write access, free space), and a short one for
// the downloader's integrity notice and for a failed installation. Each is cut to
// 199 characters; the report is made whatever its length.
#include <cstdint>
#include <string>

namespace FailureReasons {

// Room of the reason buffer, terminator included.
constexpr size_t kReasonBufferChars = 200;
constexpr const wchar_t* kDownloadReportName = L"下载失败原因";
constexpr const wchar_t* kInstallReportName = L"安装失败原因";
constexpr const wchar_t* kReadable = L"可读";
constexpr const wchar_t* kNoAccess = L"无权限";

// The status value truncated to an integer; values that do not fit (NaN included)
// are clamped to the 32-bit range (NaN to 0).
long StatusValueCode(double value);

// "1.code=%ld；2.msg=%s；3.缓存磁盘容量=%.2fG；4.缓存读写权限=%s；5.服务器连接状态code=%d"
std::wstring DetailedReason(double value, const std::wstring& text, double freeGiB, bool writable, uint32_t network);
// ":1.code=%ld；2.msg=%s"
std::wstring ShortReason(double value, const std::wstring& text);

// Write access of the package's folder, measured on the package file: an existing file
// must be deletable, otherwise a new file must be creatable (and is deleted again).
// Afterwards the package file is gone unless its deletion failed.
bool ProbeWriteAccess(const std::wstring& packagePath);
// Free bytes available to the user on the drive of the path, in GiB; 0 when unknown.
double FreeSpaceGiB(const std::wstring& path);

// Measures the machine and reports "下载失败原因" with the detailed reason.
void ReportDownloadFailure(const std::wstring& packagePath, double value, const std::wstring& text,
                           const std::wstring& abGroup);
// Reports "下载失败原因" (download true) or "安装失败原因" with the short reason.
void ReportShortFailure(bool download, double value, const std::wstring& text, const std::wstring& abGroup);

}  // namespace FailureReasons
