#include "download/curl_downloader.h"

#include "download/md5.h"
#include "utils/debug_log.h"
#include "utils/os.h"

namespace {
constexpr double kPercentMax = 100.0;
}  // namespace

CCurlDownloader::CCurlDownloader(StatusCallback callback, const std::wstring& url, const std::wstring& filePath)
    : m_Callback(std::move(callback)), m_FilePath(filePath), m_Url(url), m_Client(url, filePath, this, ForwardProgress) {
  Utils::DeleteFilePath(m_Client.GetFilePath(true));
}

CCurlDownloader::~CCurlDownloader() {
  m_Stop = true;
  m_Client.Stop();
  m_Worker.Close();
}

void CCurlDownloader::Start() {
  if (m_Stop) return;
  const bool running = m_Worker.Restart(this, [](void* self) -> uint32_t {
    static_cast<CCurlDownloader*>(self)->dlThreadFun();
    return 0;
  });
  if (!running) Report(DL_CODE_FAIL, kNoWorkerFailure, kLibCurlText);
}

void CCurlDownloader::Report(int32_t code, double value, const wchar_t* text) {
  // Once teardown has begun the receiver may be going too.
  if (m_Stop) return;
  if (m_Callback) m_Callback(code, value, text);
}

void CCurlDownloader::ForwardProgress(void* downloader, double speed, double, double percent) {
  if (speed > 0 && percent <= kPercentMax) {
    static_cast<CCurlDownloader*>(downloader)->Report(DL_CODE_PROGRESS, percent / kPercentMax, L"");
  }
}

void CCurlDownloader::dlThreadFun() {
  Report(DL_CODE_START, 1.0, L"");
  int32_t result = m_Client.Start();
  int budget = kRetryBudget;
  while (result != 0) {
    if (m_Stop) return;
    budget -= result == CURLE_PARTIAL_FILE ? kEarlyEndCost : kOtherFailureCost;
    if (budget <= 0) {
      Report(DL_CODE_FAIL, result, kLibCurlText);
      return;
    }
    DebugLog(L"CurlDownLoader Code=%d", result);
    Utils::SleepMs(kRetrySleepMs);
    if (m_Stop) return;
    result = m_Client.Start();
  }

  const std::string expected = Md5FromUrl(m_Client.RealUrl());
  if (expected.size() == kMd5HexLength) {
    // A file that cannot be read back is no more trustworthy than a mismatching one.
    if (FileMd5Hex(m_FilePath) != expected) {
      Report(DL_CODE_MD5, 0.0, kCurlMd5MismatchText);
      Utils::DeleteFilePath(m_FilePath);
      if (m_Retried) {
        Report(DL_CODE_FAIL, 0.0, kLibCurlText);
      } else {
        m_Retried = true;
        Report(DL_CODE_RETRY, 0.0, kLibCurlText);
      }
      return;
    }
  } else {
    Report(DL_CODE_MD5, 0.0, kCurlNoUrlMd5Text);
  }
  Report(DL_CODE_SUCCESS, 0.0, kLibCurlText);
}
