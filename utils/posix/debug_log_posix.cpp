#include <cstdio>
#include <cstdlib>
#include <string>

#include "utils/debug_log_internal.h"
#include "utils/unicode.h"

namespace Utils::TraceChannel {
namespace {
// Encoded in pieces so that a line needs no heap buffer.
constexpr size_t kChunkBytes = 1024;
constexpr size_t kMaxCharBytes = 4;

bool Enabled() {
  static const bool enabled = std::getenv("PARLINO_TRACE") != nullptr;
  return enabled;
}
}  // namespace

void Write(const wchar_t* line, size_t length) {
  if (!Enabled()) return;
  char chunk[kChunkBytes];
  size_t used = 0;
  flockfile(stderr);  // lines from different threads never mix
  for (size_t pos = 0; pos < length;) {
    const char32_t cp = Unicode::NextWide(line, length, pos);
    if (cp < 0x80) {
      chunk[used++] = static_cast<char>(cp);
    } else {
      char encoded[kMaxCharBytes];
      size_t n = 0;
      // Small fixed-size encode instead of AppendUtf8 to stay off the heap.
      if (cp < 0x800) {
        encoded[n++] = static_cast<char>(0xC0 | (cp >> 6));
      } else if (cp < 0x10000) {
        encoded[n++] = static_cast<char>(0xE0 | (cp >> 12));
        encoded[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      } else {
        encoded[n++] = static_cast<char>(0xF0 | (cp >> 18));
        encoded[n++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        encoded[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      }
      if (cp >= 0x80) encoded[n++] = static_cast<char>(0x80 | (cp & 0x3F));
      for (size_t i = 0; i < n; ++i) chunk[used++] = encoded[i];
    }
    if (used + kMaxCharBytes > kChunkBytes) {
      fwrite_unlocked(chunk, 1, used, stderr);
      used = 0;
    }
  }
  fwrite_unlocked(chunk, 1, used, stderr);
  // Fixed debugger texts come without a line end; stderr needs one per line.
  if (length == 0 || line[length - 1] != L'\n') fputc_unlocked('\n', stderr);
  fflush_unlocked(stderr);
  funlockfile(stderr);
}

}  // namespace Utils::TraceChannel
