#include "analytics/sdk/body_encoding.h"

#include <zlib.h>

#include <iostream>

namespace track_sdk {

namespace {
constexpr size_t kDeflateChunkBytes = 32768;
constexpr int kGzipWindowBits = 31;  // 15 + 16: gzip wrapper
constexpr int kMemoryLevel = 8;
constexpr int kMaxDeflateCalls = 1 << 20;  // bound for a deflate that never finishes
}  // namespace

bool GzipCompress(const std::string& input, std::string& output) {
  output.clear();
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kGzipWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) !=
      Z_OK) {
    std::cerr << "deflateInit2 failed while compressing." << std::endl;
    return false;
  }
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  stream.avail_in = static_cast<uInt>(input.size());
  int result = Z_OK;
  for (int call = 0; call < kMaxDeflateCalls && result != Z_STREAM_END; ++call) {
    char chunk[kDeflateChunkBytes];
    stream.next_out = reinterpret_cast<Bytef*>(chunk);
    stream.avail_out = sizeof chunk;
    result = deflate(&stream, Z_FINISH);
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) break;
    output.append(chunk, sizeof chunk - stream.avail_out);
    if (result == Z_BUF_ERROR && stream.avail_out != 0) break;  // no progress possible
  }
  if (result != Z_STREAM_END) {
    std::cerr << "Exception during zlib compression: (" << result << ") " << (stream.msg ? stream.msg : "")
              << std::endl;
    deflateEnd(&stream);
    output.clear();
    return false;
  }
  deflateEnd(&stream);
  return true;
}

std::string Base64Encode(const std::string& bytes) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8) |
                       uint32_t(uint8_t(bytes[i + 2]));
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  const size_t rest = bytes.size() - i;
  if (rest == 1) {
    const uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += "==";
  } else if (rest == 2) {
    const uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

std::string UrlEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

bool EncodeBody(const std::string& json, std::string& body) {
  std::string compressed;
  if (!GzipCompress(json, compressed)) return false;
  body = "data_list=" + UrlEncode(Base64Encode(compressed)) + "&gzip=1";
  return true;
}

}  // namespace track_sdk
