#pragma once
// Limits shared by every libcurl transfer of the download engine.
#include <cstdint>

inline constexpr long kConnectTimeoutSeconds = 60;
// libcurl of this vintage follows redirects without limit; a redirect loop must end.
inline constexpr long kMaxRedirects = 30;
// A transfer slower than 1 byte per second for 5 seconds fails (libcurl code 28).
inline constexpr long kLowSpeedLimitBytes = 1;
inline constexpr long kLowSpeedTimeSeconds = 5;
// HTTP statuses that count as an answer with a usable length.
inline constexpr long kFirstUsableStatus = 200;
inline constexpr long kLastUsableStatus = 399;
