#include "download/md5.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "utils/os.h"

namespace {

std::string Md5Of(const std::string& bytes) {
  Md5 md5;
  md5.Update(bytes.data(), bytes.size());
  return Md5::Hex(md5.Final());
}

TEST(Md5, Rfc1321TestSuite) {
  struct Row {
    const char* input;
    const char* digest;
  } const rows[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(Md5Of(row.input), row.digest);
  }
}

TEST(Md5, SplitUpdatesAcrossBlockBoundariesGiveTheSameDigest) {
  std::string data(1000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = char(i * 31 + 7);
  for (size_t split : {size_t(1), size_t(55), size_t(56), size_t(63), size_t(64), size_t(65), size_t(999)}) {
    SCOPED_TRACE(split);
    Md5 md5;
    md5.Update(data.data(), split);
    md5.Update(data.data() + split, data.size() - split);
    EXPECT_EQ(Md5::Hex(md5.Final()), Md5Of(data));
  }
}

TEST(Md5FromUrl, TakesTheDirectoryThatHoldsTheFile) {
  struct Row {
    const char* url;
    const char* expected;
  } const rows[] = {
      {"http://h/files/0123456789abcdef0123456789abcdef/p.exe", "0123456789abcdef0123456789abcdef"},
      {"http://h/a/b/d41d8cd98f00b204e9800998ecf8427e/file.exe", "d41d8cd98f00b204e9800998ecf8427e"},
      {"http://host/p.exe", "host"},
      {"p.exe", ""},
      {"/p.exe", ""},
      {"a/b/", "b"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.url);
    EXPECT_EQ(Md5FromUrl(row.url), row.expected);
  }
}

TEST(FileMd5Hex, DigestsTheFileAndGivesEmptyWhenItCannotBeRead) {
  TestSupport::TempDir dir;
  std::string content(5000, 'x');
  for (size_t i = 0; i < content.size(); ++i) content[i] = char(i % 251);
  ASSERT_TRUE(Utils::WriteWholeFile(dir.File(L"f.bin"), content));
  EXPECT_EQ(FileMd5Hex(dir.File(L"f.bin")), Md5Of(content));
  ASSERT_TRUE(Utils::WriteWholeFile(dir.File(L"empty.bin"), ""));
  EXPECT_EQ(FileMd5Hex(dir.File(L"empty.bin")), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(FileMd5Hex(dir.File(L"missing.bin")), "");
  EXPECT_EQ(FileMd5Hex(L""), "");
}

}  // namespace
