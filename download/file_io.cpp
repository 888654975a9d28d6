#include "download/file_io.h"

#include "utils/text.h"

std::wstring CurlErrorText(CURLcode code) { return TraceText(curl_easy_strerror(code)); }

std::wstring TraceText(const std::string& narrow) {
  return Utils::MultiByteToWide(narrow, Utils::kCodePageUtf8);
}
