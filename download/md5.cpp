#include "download/md5.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "download/file_io.h"

namespace {

constexpr size_t kFileReadBlock = 1024;
// Reads stay 1024 bytes each; the stream fetches from the disk in larger pieces.
constexpr size_t kFileBufferBytes = 64 * 1024;

constexpr uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
uint32_t RotateLeft(uint32_t x, uint32_t n) { return (x << n) | (x >> (32 - n)); }

}  // namespace

Md5::Md5() : m_State{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

// The four rounds written out: the generic loop costs the download benchmark a third
// of its time.
#define PARLINO_MD5_STEP(f, a, b, c, d, x, t, s) \
  a += f(b, c, d) + (x) + (t);                  \
  a = RotateLeft(a, s) + b;
#define PARLINO_MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define PARLINO_MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define PARLINO_MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define PARLINO_MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

void Md5::Transform(const uint8_t block[64]) {
  uint32_t w[16];
  for (int i = 0; i < 16; ++i) {
    w[i] = uint32_t(block[i * 4]) | uint32_t(block[i * 4 + 1]) << 8 | uint32_t(block[i * 4 + 2]) << 16 |
           uint32_t(block[i * 4 + 3]) << 24;
  }
  uint32_t a = m_State[0], b = m_State[1], c = m_State[2], d = m_State[3];
  PARLINO_MD5_STEP(PARLINO_MD5_F, a, b, c, d, w[0], kSines[0], 7)
  PARLINO_MD5_STEP(PARLINO_MD5_F, d, a, b, c, w[1], kSines[1], 12)
  PARLINO_MD5_STEP(PARLINO_MD5_F, c, d, a, b, w[2], kSines[2], 17)
  PARLINO_MD5_STEP(PARLINO_MD5_F, b, c, d, a, w[3], kSines[3], 22)
  PARLINO_MD5_STEP(PARLINO_MD5_F, a, b, c, d, w[4], kSines[4], 7)
  PARLINO_MD5_STEP(PARLINO_MD5_F, d, a, b, c, w[5], kSines[5], 12)
  PARLINO_MD5_STEP(PARLINO_MD5_F, c, d, a, b, w[6], kSines[6], 17)
  PARLINO_MD5_STEP(PARLINO_MD5_F, b, c, d, a, w[7], kSines[7], 22)
  PARLINO_MD5_STEP(PARLINO_MD5_F, a, b, c, d, w[8], kSines[8], 7)
  PARLINO_MD5_STEP(PARLINO_MD5_F, d, a, b, c, w[9], kSines[9], 12)
  PARLINO_MD5_STEP(PARLINO_MD5_F, c, d, a, b, w[10], kSines[10], 17)
  PARLINO_MD5_STEP(PARLINO_MD5_F, b, c, d, a, w[11], kSines[11], 22)
  PARLINO_MD5_STEP(PARLINO_MD5_F, a, b, c, d, w[12], kSines[12], 7)
  PARLINO_MD5_STEP(PARLINO_MD5_F, d, a, b, c, w[13], kSines[13], 12)
  PARLINO_MD5_STEP(PARLINO_MD5_F, c, d, a, b, w[14], kSines[14], 17)
  PARLINO_MD5_STEP(PARLINO_MD5_F, b, c, d, a, w[15], kSines[15], 22)
  PARLINO_MD5_STEP(PARLINO_MD5_G, a, b, c, d, w[1], kSines[16], 5)
  PARLINO_MD5_STEP(PARLINO_MD5_G, d, a, b, c, w[6], kSines[17], 9)
  PARLINO_MD5_STEP(PARLINO_MD5_G, c, d, a, b, w[11], kSines[18], 14)
  PARLINO_MD5_STEP(PARLINO_MD5_G, b, c, d, a, w[0], kSines[19], 20)
  PARLINO_MD5_STEP(PARLINO_MD5_G, a, b, c, d, w[5], kSines[20], 5)
  PARLINO_MD5_STEP(PARLINO_MD5_G, d, a, b, c, w[10], kSines[21], 9)
  PARLINO_MD5_STEP(PARLINO_MD5_G, c, d, a, b, w[15], kSines[22], 14)
  PARLINO_MD5_STEP(PARLINO_MD5_G, b, c, d, a, w[4], kSines[23], 20)
  PARLINO_MD5_STEP(PARLINO_MD5_G, a, b, c, d, w[9], kSines[24], 5)
  PARLINO_MD5_STEP(PARLINO_MD5_G, d, a, b, c, w[14], kSines[25], 9)
  PARLINO_MD5_STEP(PARLINO_MD5_G, c, d, a, b, w[3], kSines[26], 14)
  PARLINO_MD5_STEP(PARLINO_MD5_G, b, c, d, a, w[8], kSines[27], 20)
  PARLINO_MD5_STEP(PARLINO_MD5_G, a, b, c, d, w[13], kSines[28], 5)
  PARLINO_MD5_STEP(PARLINO_MD5_G, d, a, b, c, w[2], kSines[29], 9)
  PARLINO_MD5_STEP(PARLINO_MD5_G, c, d, a, b, w[7], kSines[30], 14)
  PARLINO_MD5_STEP(PARLINO_MD5_G, b, c, d, a, w[12], kSines[31], 20)
  PARLINO_MD5_STEP(PARLINO_MD5_H, a, b, c, d, w[5], kSines[32], 4)
  PARLINO_MD5_STEP(PARLINO_MD5_H, d, a, b, c, w[8], kSines[33], 11)
  PARLINO_MD5_STEP(PARLINO_MD5_H, c, d, a, b, w[11], kSines[34], 16)
  PARLINO_MD5_STEP(PARLINO_MD5_H, b, c, d, a, w[14], kSines[35], 23)
  PARLINO_MD5_STEP(PARLINO_MD5_H, a, b, c, d, w[1], kSines[36], 4)
  PARLINO_MD5_STEP(PARLINO_MD5_H, d, a, b, c, w[4], kSines[37], 11)
  PARLINO_MD5_STEP(PARLINO_MD5_H, c, d, a, b, w[7], kSines[38], 16)
  PARLINO_MD5_STEP(PARLINO_MD5_H, b, c, d, a, w[10], kSines[39], 23)
  PARLINO_MD5_STEP(PARLINO_MD5_H, a, b, c, d, w[13], kSines[40], 4)
  PARLINO_MD5_STEP(PARLINO_MD5_H, d, a, b, c, w[0], kSines[41], 11)
  PARLINO_MD5_STEP(PARLINO_MD5_H, c, d, a, b, w[3], kSines[42], 16)
  PARLINO_MD5_STEP(PARLINO_MD5_H, b, c, d, a, w[6], kSines[43], 23)
  PARLINO_MD5_STEP(PARLINO_MD5_H, a, b, c, d, w[9], kSines[44], 4)
  PARLINO_MD5_STEP(PARLINO_MD5_H, d, a, b, c, w[12], kSines[45], 11)
  PARLINO_MD5_STEP(PARLINO_MD5_H, c, d, a, b, w[15], kSines[46], 16)
  PARLINO_MD5_STEP(PARLINO_MD5_H, b, c, d, a, w[2], kSines[47], 23)
  PARLINO_MD5_STEP(PARLINO_MD5_I, a, b, c, d, w[0], kSines[48], 6)
  PARLINO_MD5_STEP(PARLINO_MD5_I, d, a, b, c, w[7], kSines[49], 10)
  PARLINO_MD5_STEP(PARLINO_MD5_I, c, d, a, b, w[14], kSines[50], 15)
  PARLINO_MD5_STEP(PARLINO_MD5_I, b, c, d, a, w[5], kSines[51], 21)
  PARLINO_MD5_STEP(PARLINO_MD5_I, a, b, c, d, w[12], kSines[52], 6)
  PARLINO_MD5_STEP(PARLINO_MD5_I, d, a, b, c, w[3], kSines[53], 10)
  PARLINO_MD5_STEP(PARLINO_MD5_I, c, d, a, b, w[10], kSines[54], 15)
  PARLINO_MD5_STEP(PARLINO_MD5_I, b, c, d, a, w[1], kSines[55], 21)
  PARLINO_MD5_STEP(PARLINO_MD5_I, a, b, c, d, w[8], kSines[56], 6)
  PARLINO_MD5_STEP(PARLINO_MD5_I, d, a, b, c, w[15], kSines[57], 10)
  PARLINO_MD5_STEP(PARLINO_MD5_I, c, d, a, b, w[6], kSines[58], 15)
  PARLINO_MD5_STEP(PARLINO_MD5_I, b, c, d, a, w[13], kSines[59], 21)
  PARLINO_MD5_STEP(PARLINO_MD5_I, a, b, c, d, w[4], kSines[60], 6)
  PARLINO_MD5_STEP(PARLINO_MD5_I, d, a, b, c, w[11], kSines[61], 10)
  PARLINO_MD5_STEP(PARLINO_MD5_I, c, d, a, b, w[2], kSines[62], 15)
  PARLINO_MD5_STEP(PARLINO_MD5_I, b, c, d, a, w[9], kSines[63], 21)
  m_State[0] += a;
  m_State[1] += b;
  m_State[2] += c;
  m_State[3] += d;
}

void Md5::Update(const void* data, size_t size) {
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  m_Length += size;
  while (size > 0) {
    const size_t take = std::min(size, sizeof(m_Buffer) - m_Buffered);
    std::memcpy(m_Buffer + m_Buffered, bytes, take);
    m_Buffered += take;
    bytes += take;
    size -= take;
    if (m_Buffered == sizeof(m_Buffer)) {
      Transform(m_Buffer);
      m_Buffered = 0;
    }
  }
}

std::array<uint8_t, 16> Md5::Final() {
  const uint64_t bits = m_Length * 8;
  static const uint8_t kPadding[64] = {0x80};
  const size_t padding = m_Buffered < 56 ? 56 - m_Buffered : 120 - m_Buffered;
  Update(kPadding, padding);
  uint8_t lengthBytes[8];
  for (int i = 0; i < 8; ++i) lengthBytes[i] = uint8_t(bits >> (8 * i));
  Update(lengthBytes, sizeof(lengthBytes));
  std::array<uint8_t, 16> digest{};
  for (int i = 0; i < 16; ++i) digest[i] = uint8_t(m_State[i / 4] >> (8 * (i % 4)));
  return digest;
}

std::string Md5::Hex(const std::array<uint8_t, 16>& digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (uint8_t byte : digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

std::string Md5FromUrl(const std::string& url) {
  const size_t last = url.rfind('/');
  if (last == std::string::npos) return {};
  const std::string head = url.substr(0, last);
  const size_t before = head.rfind('/');
  if (before == std::string::npos) return {};
  return head.substr(before + 1);
}

std::string FileMd5Hex(const std::wstring& path) {
  if (path.empty()) return {};
  UniqueFile file(OpenFile(path, L"rb"));
  if (!file) return {};
  std::setvbuf(file.get(), nullptr, _IOFBF, kFileBufferBytes);
  Md5 md5;
  unsigned char block[kFileReadBlock];
  size_t got;
  while ((got = std::fread(block, 1, sizeof(block), file.get())) > 0) md5.Update(block, got);
  if (std::ferror(file.get())) return {};
  return Md5::Hex(md5.Final());
}
