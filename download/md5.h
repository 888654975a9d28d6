#pragma once
// MD5 (RFC 1321) and the two helpers the downloaders check packages with.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class Md5 {
 public:
  Md5();
  void Update(const void* data, size_t size);
  // Ends the computation; the object must not be updated afterwards.
  std::array<uint8_t, 16> Final();
  // 32 lowercase hex digits of a digest.
  static std::string Hex(const std::array<uint8_t, 16>& digest);

 private:
  void Transform(const uint8_t block[64]);
  uint32_t m_State[4];
  uint64_t m_Length = 0;  // bytes hashed so far
  uint8_t m_Buffer[64];
  size_t m_Buffered = 0;
};

// The expected MD5 named by a final URL: the path segment before the last one
// (".../<digest>/file.exe" gives <digest>). Empty when the URL has fewer than two "/".
// It counts as an expected digest only when it is exactly kMd5HexLength characters long.
std::string Md5FromUrl(const std::string& url);
inline constexpr size_t kMd5HexLength = 32;

// MD5 of the file's content as 32 lowercase hex digits; empty when the path is empty,
// the file does not open or a read fails.
std::string FileMd5Hex(const std::wstring& path);
