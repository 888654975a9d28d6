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

// Runs the whole input through the converter into out. Where the converter stops at a
// sequence it cannot convert, skip(in, inLeft, out) appends its stand-in to out and
// returns how many input bytes it covers (at least one).
template <typename Skip>
void ConvertAll(const Iconv& converter, char* in, size_t inLeft, std::string& out, Skip skip) {
  while (inLeft > 0) {
    char chunk[kIconvChunk];
    char* chunkEnd = chunk;
    size_t chunkLeft = sizeof chunk;
    const size_t result = iconv(converter.Get(), &in, &inLeft, &chunkEnd, &chunkLeft);
    out.append(chunk, static_cast<size_t>(chunkEnd - chunk));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      const size_t covered = skip(in, inLeft, out);
      in += covered;
      inLeft -= covered;
    }
  }
}

}  // namespace

std::wstring MultiByteToWide(const std::string& bytes, unsigned codePage) {
  const size_t size = strnlen(bytes.data(), bytes.size());
  if (size == 0) return {};
  if (IsUtf8(codePage)) return Unicode::DecodeUtf8Lenient(bytes.data(), size);
  Iconv converter("UTF-8", CodePageName(codePage).c_str());
  if (!converter.Valid()) return {};
  std::string utf8;
  ConvertAll(converter, const_cast<char*>(bytes.data()), size, utf8, [](const char*, size_t, std::string& out) {
    // A byte the code page does not define: one replacement character, go on.
    Unicode::AppendUtf8(out, Unicode::kReplacement);
    return size_t{1};
  });
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
  ConvertAll(converter, utf8.data(), utf8.size(), out, [](const char* in, size_t inLeft, std::string& bytes) {
    // Not representable: '?' like the system conversion, skip the whole character.
    bytes.push_back('?');
    size_t pos = 0;
    char32_t ignored = 0;
    Unicode::DecodeUtf8(in, inLeft, pos, ignored);
    return pos;
  });
  return out;
}

}  // namespace Utils
