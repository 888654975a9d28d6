#include "download/file_io.h"

#include "utils/text.h"

std::string CurlUrl(const std::wstring& url) {
  if (Utils::StartsWith(url, L"file:///")) return Utils::WideToMultiByte(url, Utils::kCodePageAnsi);
  return Utils::WideToUtf8(url);
}

std::wstring CurlErrorText(CURLcode code) { return TraceText(curl_easy_strerror(code)); }

std::wstring TraceText(const std::string& narrow) {
  return Utils::MultiByteToWide(narrow, Utils::kCodePageUtf8);
}

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
  return std::fwrite(data, size, count, static_cast<FILE*>(file)) * size;
}

size_t DiscardBody(char*, size_t size, size_t count, void*) { return size * count; }
