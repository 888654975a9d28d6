#pragma once
// Files and libcurl handles as RAII objects, and the one place that opens a file by
// its wide path (the Windows side takes the wide path as it is, so a path that the
// ANSI code page cannot hold still opens).
#include <cstdio>
#include <memory>
#include <string>

#include <curl/curl.h>

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

struct CurlCleanup {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using UniqueCurl = std::unique_ptr<CURL, CurlCleanup>;

struct CurlSlistFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using UniqueCurlSlist = std::unique_ptr<curl_slist, CurlSlistFree>;

// fopen with a wide path and a wide mode ("rb", "ab+", ...); null on failure, errno set.
FILE* OpenFile(const std::wstring& path, const wchar_t* mode);

// libcurl write functions: WriteToFile appends to the FILE* given as user data
// (a short count fails the transfer); DiscardBody accepts and drops everything.
size_t WriteToFile(char* data, size_t size, size_t count, void* file);
size_t DiscardBody(char* data, size_t size, size_t count, void* unused);

// The options every header-only request shares (redirects followed, body dropped);
// `withHeader` also passes the header to the write function. False when one could not be set.
bool SetUpHeadRequest(CURL* handle, const std::string& url, bool withHeader);
// The options every body transfer shares: redirects, failure on an HTTP error, the
// connect and low-speed limits, the write and progress functions. The libcurl codes of
// the options, or-ed together (CURLE_OK when all were set).
int SetUpBodyTransfer(CURL* handle, const std::string& url, curl_write_callback write, void* writeData,
                      curl_xferinfo_callback progress, void* progressData);

// A URL as libcurl takes it: UTF-8, but a "file:///" URL in the ANSI code page (it
// names a local path).
std::string CurlUrl(const std::wstring& url);

// libcurl's text for a result code, as a wide string for the trace.
std::wstring CurlErrorText(CURLcode code);
// A narrow (UTF-8) string as a wide one for the trace.
std::wstring TraceText(const std::string& narrow);
