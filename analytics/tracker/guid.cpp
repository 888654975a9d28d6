#include "analytics/tracker/guid.h"

#include <cstdio>
#include <mutex>
#include <random>

#include "analytics/tracker/system_info.h"

namespace vexlo::analytics {

namespace {
constexpr int kGuidAttempts = 10;
constexpr uint32_t kFallbackDrawMax = 2147483646u;
constexpr int kFallbackDraws = 8;
}  // namespace

std::string FormatGuid(uint32_t data1, uint16_t data2, uint16_t data3, const uint8_t d[8]) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", data1, data2, data3, d[0],
                d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
  return buffer;
}

std::string MakeGuid() {
  for (int attempt = 0; attempt < kGuidAttempts; ++attempt) {
    uint32_t data1 = 0;
    uint16_t data2 = 0, data3 = 0;
    uint8_t data4[8] = {};
    if (SystemGuid(data1, data2, data3, data4)) return FormatGuid(data1, data2, data3, data4);
  }
  return MakeFallbackGuid();
}

std::string MakeFallbackGuid() {
  // One generator for the process, shared by every thread.
  static std::mutex lock;
  static std::mt19937 generator;
  uint32_t draws[kFallbackDraws];
  {
    std::lock_guard<std::mutex> guard(lock);
    std::uniform_int_distribution<uint32_t> distribution(0, kFallbackDrawMax);
    for (uint32_t& draw : draws) draw = distribution(generator);
  }
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "%x%x-%x-%x-%x-%x%x%x", draws[7], draws[6], draws[5],
                (draws[4] & 0xFFFu) + 0x4000u, draws[3] % 0x3FFFu + 0x8000u, draws[2], draws[1], draws[0]);
  return buffer;
}

}  // namespace vexlo::analytics
