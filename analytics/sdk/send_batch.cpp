#include "analytics/sdk/send_batch.h"

#include <iostream>
#include <mutex>

#include "analytics/sdk/body_encoding.h"
#include "analytics/sdk/post_client.h"
#include "utils/debug_log.h"

namespace track_sdk {

namespace {
constexpr long kStatusOk = 200;
std::mutex g_LastSendLock;
bool g_LastSendOk = false;
}  // namespace

bool LastSendOk() {
  std::lock_guard<std::mutex> lock(g_LastSendLock);
  return g_LastSendOk;
}

void SetLastSendOk(bool ok) {
  std::lock_guard<std::mutex> lock(g_LastSendLock);
  g_LastSendOk = ok;
}

bool SendBatch(const std::string& serverUrl, const std::string& jsonArray) {
  std::string body;
  if (!EncodeBody(jsonArray, body)) return false;
  PostClient client("", kPostTimeoutSeconds);
  const PostResponse response = client.Post(serverUrl, body, "", {});
  const bool ok = response.code == kStatusOk;
  if (!ok) {
    Utils::WriteDebuggerText(L"[analytics] VexloAnalytics SDK send failed");
    std::cerr << "VexloAnalytics SDK send failed: " << response.body << std::endl;
  }
  SetLastSendOk(ok);
  return ok;
}

}  // namespace track_sdk
