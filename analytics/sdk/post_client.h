#pragma once
// One-shot HTTP POST on libcurl: a fresh easy handle per request, no redirects,
// TLS verification off, a total timeout. Never throws: every failure becomes a
// response with code -1 and the error text as body.
#include <map>
#include <string>

namespace track_sdk {

struct PostResponse {
  long code = -1;
  std::string body;
  std::map<std::string, std::string> headers;
};

class PostClient {
 public:
  static constexpr const char* kUserAgent = "VexloAnalytics CPP SDK 0.9";

  // baseUrl is prefixed to every path (empty: the path is the full URL);
  // timeoutSeconds 0 means no limit.
  PostClient(std::string baseUrl, long timeoutSeconds);
  void SetHeader(const std::string& name, const std::string& value) { m_Headers[name] = value; }

  // contentType empty: no Content-Type header of ours.
  PostResponse Post(const std::string& path, const std::string& body, const std::string& contentType,
                    const std::map<std::string, std::string>& extraHeaders);

 private:
  PostResponse PostOrThrow(const std::string& url, const std::string& body, const std::string& contentType,
                           const std::map<std::string, std::string>& extraHeaders);
  std::string m_BaseUrl;
  long m_TimeoutSeconds;
  std::map<std::string, std::string> m_Headers;
};

}  // namespace track_sdk
