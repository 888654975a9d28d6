// Narrow text on POSIX: the ANSI code page is UTF-8; other Windows code pages go
// through iconv under their "CPnnn" names.
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <cwchar>

#include "utils/text.h"
#include "utils/unicode.h"

namespace Utils {
namespace {

constexpr size_t kIconvChunk = 256;

bool IsUtf8(unsigned codePage) { return codePage == kCodePageAnsi || codePage == kCodePageUtf8; }

class Iconv {
 public:
  Iconv(const char* to, const char* from) : m_Handle(iconv_open(to, from)) {}
  ~Iconv() {
    if (Valid()) iconv_close(m_Handle);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool Valid() const { return m_Handle != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return m_Handle; }

 private:
  iconv_t m_Handle;
};

std::string CodePageName(unsigned codePage) { return "CP" + std::to_string(codePage); }

}  // namespace

std::wstring MultiByteToWide(const std::string& bytes, unsigned codePage) {
  const size_t size = strnlen(bytes.data(), bytes.size());
  if (size == 0) return {};
  if (IsUtf8(codePage)) return Unicode::DecodeUtf8Lenient(bytes.data(), size);
  Iconv converter("UTF-8", CodePageName(codePage).c_str());
  if (!converter.Valid()) return {};
  std::string utf8;
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = size;
  while (inLeft > 0) {
    char chunk[kIconvChunk];
    char* out = chunk;
    size_t outLeft = sizeof chunk;
    const size_t result = iconv(converter.Get(), &in, &inLeft, &out, &outLeft);
    utf8.append(chunk, static_cast<size_t>(out - chunk));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      // A byte the code page does not define: one replacement character, go on.
      Unicode::AppendUtf8(utf8, Unicode::kReplacement);
      ++in;
      --inLeft;
    }
  }
  return Unicode::DecodeUtf8Lenient(utf8.data(), utf8.size());
}

std::string WideToMultiByte(const std::wstring& text, unsigned codePage) {
  const size_t size = wcsnlen(text.data(), text.size());
  if (size == 0) return {};
  std::string utf8 = Unicode::EncodeUtf8(text.data(), size);
  if (IsUtf8(codePage)) return utf8;
  Iconv converter(CodePageName(codePage).c_str(), "UTF-8");
  if (!converter.Valid()) return {};
  std::string out;
  char* in = utf8.data();
  size_t inLeft = utf8.size();
  while (inLeft > 0) {
    char chunk[kIconvChunk];
    char* outPtr = chunk;
    size_t outLeft = sizeof chunk;
    const size_t result = iconv(converter.Get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(chunk, static_cast<size_t>(outPtr - chunk));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      // Not representable: '?' like the system conversion, skip the whole character.
      out.push_back('?');
      size_t pos = 0;
      char32_t ignored = 0;
      Unicode::DecodeUtf8(in, inLeft, pos, ignored);
      in += pos;
      inLeft -= pos;
    }
  }
  return out;
}

}  // namespace Utils
