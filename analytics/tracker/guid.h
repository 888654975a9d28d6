#pragma once
// Identifiers for a new installation identity.
#include <cstdint>
#include <string>

namespace vexlo::analytics {

// Upper-case "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" from the system generator (up to
// kGuidAttempts tries), else MakeFallbackGuid().
std::string MakeGuid();
// Eight draws from one process-wide MT19937 with its default seed, formatted in
// lower-case hex without leading zeros. The sequence repeats in every process.
std::string MakeFallbackGuid();
std::string FormatGuid(uint32_t data1, uint16_t data2, uint16_t data3, const uint8_t data4[8]);

}  // namespace vexlo::analytics
