#include "app/engine/print_line.h"

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "utils/text.h"

namespace {

constexpr int kDoublePrecision = 6;
constexpr size_t kDoubleChars = 64;

std::string DoubleText(double value) {
  if (std::isnan(value)) return "nan";
  char buffer[kDoubleChars];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, kDoublePrecision);
  if (result.ec != std::errc()) return "?";
  return std::string(buffer, result.ptr);
}

}  // namespace

void PrintLine(const char* name, const std::string& value) { std::printf("%s=%s\n", name, value.c_str()); }
void PrintLine(const char* name, const std::wstring& value) { PrintLine(name, Utils::WideToUtf8(value)); }
void PrintLine(const char* name, bool value) { PrintLine(name, std::string(value ? "true" : "false")); }
void PrintLine(const char* name, int32_t value) { PrintLine(name, std::to_string(value)); }
void PrintLine(const char* name, uint64_t value) { std::printf("%s=%" PRIu64 "\n", name, value); }
void PrintLine(const char* name, double value) { PrintLine(name, DoubleText(value)); }
