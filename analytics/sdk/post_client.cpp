#include "analytics/sdk/post_client.h"

#include <curl/curl.h>

#include <iostream>
#include <memory>
#include <stdexcept>

namespace track_sdk {

namespace {

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using UniqueCurl = std::unique_ptr<CURL, CurlDeleter>;

struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using UniqueSlist = std::unique_ptr<curl_slist, SlistDeleter>;

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

size_t WriteHeader(char* data, size_t size, size_t count, void* user) {
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  const size_t colon = line.find(':');
  if (colon != std::string::npos) {
    size_t start = colon + 1;
    while (start < line.size() && line[start] == ' ') ++start;
    (*static_cast<std::map<std::string, std::string>*>(user))[line.substr(0, colon)] = line.substr(start);
  }
  return size * count;
}

}  // namespace

PostClient::PostClient(std::string baseUrl, long timeoutSeconds)
    : m_BaseUrl(std::move(baseUrl)), m_TimeoutSeconds(timeoutSeconds) {}

PostResponse PostClient::Post(const std::string& path, const std::string& body, const std::string& contentType,
                              const std::map<std::string, std::string>& extraHeaders) {
  try {
    return PostOrThrow(m_BaseUrl + path, body, contentType, extraHeaders);
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    PostResponse response;
    response.body = e.what();
    return response;
  }
}

PostResponse PostClient::PostOrThrow(const std::string& url, const std::string& body, const std::string& contentType,
                                     const std::map<std::string, std::string>& extraHeaders) {
  UniqueCurl curl(curl_easy_init());
  if (!curl) throw std::runtime_error("Couldn't initialize curl handle");
  PostResponse response;
  std::map<std::string, std::string> headers = m_Headers;
  for (const auto& [name, value] : extraHeaders) headers[name] = value;
  if (!contentType.empty()) headers["Content-Type"] = contentType;
  UniqueSlist headerList;
  for (const auto& [name, value] : headers) {
    curl_slist* grown = curl_slist_append(headerList.get(), (name + ": " + value).c_str());
    if (!grown) throw std::runtime_error("Couldn't build the request headers");
    (void)headerList.release();
    headerList.reset(grown);
  }
  CURL* h = curl.get();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &response.body);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, WriteHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &response.headers);
  if (headerList) curl_easy_setopt(h, CURLOPT_HTTPHEADER, headerList.get());
  curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(h, CURLOPT_TIMEOUT, m_TimeoutSeconds);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_POST, 1L);
  curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
  curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
  const CURLcode result = curl_easy_perform(h);
  if (result != CURLE_OK) {
    response.code = -1;
    response.body = curl_easy_strerror(result);
    return response;
  }
  long code = -1;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
  response.code = code;
  return response;
}

}  // namespace track_sdk
