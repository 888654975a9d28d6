#pragma once
// The interface the orchestration sees: one downloader per installation, started once
// and started again after DL_CODE_RETRY.
#include "download/status_callback.h"
#include "download/status_codes.h"

class CDownloader {
 public:
  virtual ~CDownloader() = default;
  // Begins a download on a worker thread and returns at once. Every status arrives on
  // the downloader's own threads. May be called from the status callback of a terminal
  // status (DL_CODE_RETRY, DL_CODE_SUCCESS, DL_CODE_FAIL); otherwise only while idle.
  virtual void Start() = 0;
};
