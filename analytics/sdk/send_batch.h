#pragma once
// Sending one batch and the process-wide "last send succeeded" flag that the tracker
// reads to choose between sending on the caller's thread and on a detached thread.
#include <string>

namespace track_sdk {

// Total time one request may take.
constexpr long kPostTimeoutSeconds = 3;

// Compresses and posts the JSON array text. True exactly on status 200. Sets the
// last-send flag to the result, except when compression fails (flag unchanged).
bool SendBatch(const std::string& serverUrl, const std::string& jsonArray);

bool LastSendOk();
// Written by SendBatch; tests use it to start from a known state.
void SetLastSendOk(bool ok);

}  // namespace track_sdk
