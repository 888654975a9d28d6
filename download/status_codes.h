#pragma once
// Status codes and texts every downloader reports through its StatusCallback.
#include <cstdint>

enum DownloadStatusCode : int32_t {
  DL_CODE_START = 1001,     // value 1.0: the worker has started
  DL_CODE_PROGRESS = 1002,  // value: fraction done, 0.0 to 1.0
  DL_CODE_SUCCESS = 1003,   // the complete, checked file is at the target path
  DL_CODE_FAIL = 1004,      // failed for good; value: the failure's number
  DL_CODE_RETRY = 1005,     // failed once; the receiver calls Start again
  DL_CODE_MD5 = 1006,       // integrity notice; always followed by 1003, 1004 or 1005
};

// DL_CODE_FAIL value when no worker thread could be made for a run (libcurl's
// "failed initialization"): a run that cannot start still ends with a status.
inline constexpr int32_t kNoWorkerFailure = 2;

// Which kind of downloader sent a terminal status.
inline constexpr const wchar_t* kLibCurlText = L"LibCurl";
inline constexpr const wchar_t* kUrlDownloadToFileText = L"URLDownloadToFile";

// DL_CODE_MD5 texts.
inline constexpr const wchar_t* kMtMd5MismatchText = L"mtcurl文件md5校验失败";
inline constexpr const wchar_t* kCurlMd5MismatchText = L"curl文件md5校验失败";
inline constexpr const wchar_t* kMtNoUrlMd5Text = L"mtcurl获取url-md5失败";
inline constexpr const wchar_t* kCurlNoUrlMd5Text = L"curl获取url-md5失败";

// Name of every downloader worker thread.
inline constexpr const wchar_t* kDownloadThreadName = L"ABDEF";
