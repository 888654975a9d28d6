#pragma once
// Selection of the downloader by the configured download type.
#include <memory>
#include <string>

#include "download/downloader.h"

// 2: CWinDownloader, 3: CMTCurlDownloader, any other value: CCurlDownloader.
// Writes no trace of its own: the caller logs the type it asked for.
std::unique_ptr<CDownloader> CreateDownloader(int32_t downloadType, StatusCallback callback, const std::wstring& url,
                                              const std::wstring& filePath);
