#include "download/mt_curl_downloader.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "app/installer_config.h"
#include "download/curl_options.h"
#include "download/md5.h"
#include "utils/debug_log.h"
#include "utils/os.h"
#include "utils/text.h"

namespace {

constexpr size_t kRangeChars = 64;
constexpr long kHttpOk = 200;
// The join copies 1024-byte blocks; the streams move larger pieces to and from disk.
constexpr size_t kJoinBufferBytes = 64 * 1024;

}  // namespace

CMTCurlDownloader::CMTCurlDownloader(StatusCallback callback, const std::wstring& url, const std::wstring& filePath)
    : m_Callback(std::move(callback)), m_FilePath(filePath), m_Url(url) {
  Utils::DeleteFilePath(m_FilePath);
  DeletePartFiles();
}

CMTCurlDownloader::~CMTCurlDownloader() {
  m_Stop = true;
  m_Worker.Close();
  ClearParts();
}

std::wstring CMTCurlDownloader::PartFilePath(int index) const { return m_FilePath + L"_" + std::to_wstring(index); }

void CMTCurlDownloader::DeletePartFiles() {
  for (int i = 0; i < kMaxParts; ++i) Utils::DeleteFilePath(PartFilePath(i));
}

void CMTCurlDownloader::ClearParts() { m_Parts.clear(); }

void CMTCurlDownloader::Report(int32_t code, double value, const wchar_t* text) {
  // Once teardown has begun the receiver may be going too.
  if (m_Stop) return;
  if (m_Callback) m_Callback(code, value, text);
}

void CMTCurlDownloader::Start() {
  if (m_Stop) return;
  const bool running = m_Worker.Restart(this, [](void* self) -> uint32_t {
    static_cast<CMTCurlDownloader*>(self)->Start_Down();
    return 0;
  });
  if (!running) Report(DL_CODE_FAIL, kNoWorkerFailure, kLibCurlText);
}

bool CMTCurlDownloader::getRealDownloadUrl(const std::string& url) {
  m_RealUrl.clear();
  m_ExpectedMd5.clear();
  m_FileLength = 0;
  if (!GetInstallerConfig().m_IsCurlReady) return false;
  UniqueCurl handle(curl_easy_init());
  if (!handle) return false;
  UniqueCurlSlist headers(curl_slist_append(nullptr, "Connection: keep-alive"));
  CURL* h = handle.get();
  if (curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get()) != CURLE_OK || !SetUpHeadRequest(h, url, false) ||
      curl_easy_perform(h) != CURLE_OK) {
    return false;
  }

  char* effective = nullptr;
  if (curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective && *effective) {
    m_RealUrl = effective;
    DebugLog(L"Download File real url %s", TraceText(m_RealUrl).c_str());
    m_ExpectedMd5 = Md5FromUrl(m_RealUrl);
  }
  curl_off_t length = -1;
  long status = 0;
  if (curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
      curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status >= kFirstUsableStatus &&
      status <= kLastUsableStatus) {
    m_FileLength = length;
    DebugLog(L"Download File Length %lld", static_cast<long long>(m_FileLength));
  }
  return !m_RealUrl.empty() && m_FileLength >= kMinFileLength && m_FileLength <= kMaxFileLength;
}

void CMTCurlDownloader::Start_Down() {
  Report(DL_CODE_START, 1.0, L"");
  DebugLog(L"start download");
  const std::string url = CurlUrl(m_Url);
  Utils::DeleteFilePath(m_FilePath);
  if (m_LastPercent == 0.0) DeletePartFiles();
  if (!m_Probed) {
    m_Probed = getRealDownloadUrl(url);
    if (!m_Probed) {
      Report(DL_CODE_FAIL, 0.0, kLibCurlText);
      return;
    }
  }

  const int64_t count = std::clamp<int64_t>(m_FileLength / kPartUnit, 1, kMaxParts);
  const int64_t partSize = m_FileLength / count;
  int64_t offset = 0;
  for (int i = 0; i < count; ++i) {
    auto node = std::make_unique<DownloadPartNode>();
    node->owner = this;
    node->partPath = PartFilePath(i);
    node->url = m_RealUrl;
    const int64_t existing = std::max<int64_t>(Utils::FileSize(node->partPath), 0);
    node->received = existing;
    node->nextOffset = offset + existing;
    offset += partSize + (i == count - 1 ? m_FileLength % count : 0);
    node->endOffset = offset - 1;
    node->handle.reset(curl_easy_init());
    if (node->nextOffset > node->endOffset) {
      node->status = kPartComplete;
    } else if (!node->handle) {
      node->status = CURLE_FAILED_INIT;
    } else {
      node->file.reset(OpenFile(node->partPath, L"ab+"));
      node->status = node->file ? kPartPending : kPartFileFailed;
    }
    m_Parts.push_back(std::move(node));
  }

  for (auto& node : m_Parts) {
    if (node->status != kPartPending || m_Stop) continue;
    ++m_ActiveParts;
    try {
      m_PartThreads.emplace_back(downloadThreadFun, this, node.get());
    } catch (const std::system_error&) {
      // No thread for this part: it fails like a part that could not start.
      --m_ActiveParts;
      node->status = CURLE_FAILED_INIT;
      continue;
    }
    Utils::SleepMs(kPartStartStaggerMs);
  }
  waitForFinishThreadFun(this);
}

void CMTCurlDownloader::downloadThreadFun(CMTCurlDownloader* downloader, DownloadPartNode* node) {
  int budget = kRetryBudget;
  for (;;) {
    const int result = downloader->downloadExe(node);
    if (result == 0 || budget <= 0 || downloader->m_Stop) break;
    DebugLog(L"CurlDownLoader Code=%d", result);
    Utils::SleepMs(kRetrySleepMs);
    budget -= result == CURLE_PARTIAL_FILE ? kEarlyEndCost : kOtherFailureCost;
  }
  node->file.reset();
  --downloader->m_ActiveParts;
}

int CMTCurlDownloader::downloadExe(DownloadPartNode* node) {
  char range[kRangeChars];
  std::snprintf(range, sizeof(range), "%lld-%lld", static_cast<long long>(node->nextOffset),
                static_cast<long long>(node->endOffset));
  node->answerChecked = false;
  CURL* h = node->handle.get();
  int failed = CURLE_OK;
  failed |= curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  failed |= curl_easy_setopt(h, CURLOPT_TIMEOUT, 0L);
  failed |= SetUpBodyTransfer(h, node->url, WritePart, node, PartProgress, this);
  failed |= curl_easy_setopt(h, CURLOPT_RANGE, range);
  if (failed != CURLE_OK) return failed;

  CURLcode result = curl_easy_perform(h);
  // Every byte of the range is on disk; only what the server sent beyond it was refused.
  if (result != CURLE_OK && node->nextOffset > node->endOffset) result = CURLE_OK;
  if (result != CURLE_OK) {
    DebugLog(L"error:%d:%s", int(result), CurlErrorText(result).c_str());
  } else {
    DebugLog(L"curl_easy_cleanup");
  }
  curl_easy_reset(h);
  if (result == CURLE_OK) node->file.reset();
  node->status = result;
  return result;
}

size_t CMTCurlDownloader::WritePart(char* data, size_t size, size_t count, void* nodePointer) {
  DownloadPartNode* node = static_cast<DownloadPartNode*>(nodePointer);
  if (node->owner->m_Stop) return 0;
  if (!node->answerChecked) {
    // A server that ignores the range sends the file from its first byte: those bytes
    // belong at this part's offset only when the part starts at 0.
    long status = 0;
    curl_easy_getinfo(node->handle.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status == kHttpOk && node->nextOffset != 0) return 0;
    node->answerChecked = true;
  }
  const int64_t n = int64_t(size) * int64_t(count);
  if (!node->file || node->nextOffset > node->endOffset) return 0;
  const int64_t wanted = node->endOffset < node->nextOffset + n ? node->endOffset - node->nextOffset + 1 : n;
  const size_t written = std::fwrite(data, 1, size_t(wanted), node->file.get());
  node->nextOffset += int64_t(written);
  node->received += int64_t(written);
  return written;
}

int CMTCurlDownloader::PartProgress(void* downloaderPointer, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  CMTCurlDownloader* d = static_cast<CMTCurlDownloader*>(downloaderPointer);
  if (d->m_Stop) return 1;
  std::lock_guard<std::mutex> lock(d->m_ProgressLock);
  const int64_t now = int64_t(std::time(nullptr));
  if (now <= d->m_LastReportTime) return 0;
  d->m_LastReportTime = now;
  double x = 0.0;
  if (d->m_FileLength >= kMinFileLength) {
    for (const auto& node : d->m_Parts) {
      const int64_t received = node->received;
      if (received > 0) x += double(received) * 100.0 / double(d->m_FileLength);
    }
    if (!d->m_Parts.empty() && x > 100.0) return 0;
  }
  if (x - d->m_LastPercent < 1.0) return 0;
  d->m_LastPercent = x;
  d->Report(DL_CODE_PROGRESS, x / 100.0, L"");
  return 0;
}

bool CMTCurlDownloader::JoinParts(std::vector<std::wstring>& joined) {
  {
    UniqueFile first(OpenFile(PartFilePath(0), L"ab+"));
    if (!first) return false;
    std::setvbuf(first.get(), nullptr, _IOFBF, kJoinBufferBytes);
    for (size_t i = 1; i < m_Parts.size(); ++i) {
      const std::wstring partPath = PartFilePath(int(i));
      UniqueFile part(OpenFile(partPath, L"rb+"));
      // A missing part would leave a hole: the join fails instead.
      if (!part) return false;
      std::setvbuf(part.get(), nullptr, _IOFBF, kJoinBufferBytes);
      char block[kJoinBlockBytes];
      size_t got;
      while ((got = std::fread(block, 1, sizeof(block), part.get())) > 0) {
        if (std::fwrite(block, 1, got, first.get()) != got) return false;
      }
      if (std::ferror(part.get())) return false;
      joined.push_back(partPath);
    }
    if (std::fflush(first.get()) != 0) return false;
  }
  if (Utils::FileSize(PartFilePath(0)) != m_FileLength) return false;
  if (!Utils::MoveFileReplace(PartFilePath(0), m_FilePath)) return false;
  DeletePartFiles();
  return true;
}

void CMTCurlDownloader::EndFailedRun(int32_t failure) {
  ClearParts();
  if (m_LastPercent == 0.0) DeletePartFiles();
  if (!m_Retried) {
    m_Retried = true;
    Report(DL_CODE_RETRY, failure, kLibCurlText);
  } else {
    m_LastPercent = 0.0;
    Report(DL_CODE_FAIL, failure, kLibCurlText);
  }
}

void CMTCurlDownloader::waitForFinishThreadFun(CMTCurlDownloader* d) {
  for (std::thread& part : d->m_PartThreads) part.join();
  d->m_PartThreads.clear();
  if (d->m_Stop) return;

  int32_t failure = kPartComplete;
  for (const auto& node : d->m_Parts) {
    if (node->status != kPartComplete) {
      failure = node->status;
      break;
    }
  }
  if (failure != kPartComplete) {
    d->EndFailedRun(failure);
    return;
  }

  d->m_LastPercent = 0.0;
  std::vector<std::wstring> joined;
  const bool wasJoined = d->JoinParts(joined);
  for (const std::wstring& partPath : joined) DebugLog(L"partPath::%s", partPath.c_str());
  if (!wasJoined) {
    // Never leave a half-joined file behind: the next run starts from nothing.
    Utils::DeleteFilePath(d->m_FilePath);
    d->DeletePartFiles();
    d->EndFailedRun(kJoinFailed);
    return;
  }
  if (d->m_ExpectedMd5.size() == kMd5HexLength) {
    // A joined file that cannot be read back is no more trustworthy than a mismatch.
    if (FileMd5Hex(d->m_FilePath) != d->m_ExpectedMd5) {
      d->Report(DL_CODE_MD5, 0.0, kMtMd5MismatchText);
      Utils::DeleteFilePath(d->m_FilePath);
      DebugLog(d->m_Retried ? L"finish recv, md5 chaek failed and retry failed."
                            : L"finish recv, md5 chaek failed retry once.");
      d->EndFailedRun(0);
      return;
    }
  } else {
    d->Report(DL_CODE_MD5, 0.0, kMtNoUrlMd5Text);
  }
  DebugLog(L"finish recv");
  d->ClearParts();
  d->Report(DL_CODE_SUCCESS, 0.0, kLibCurlText);
}
