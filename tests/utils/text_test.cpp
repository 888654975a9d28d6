#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "utils/text.h"

using namespace std::string_literals;

TEST(Text, MultiByteToWideUtf8) {
  struct Row {
    const char* name;
    std::string bytes;
    unsigned codePage;
    std::wstring expected;
  };
  const Row rows[] = {
      {"empty", "", Utils::kCodePageUtf8, L""},
      {"ascii in the ANSI code page", "State=Fail", Utils::kCodePageAnsi, L"State=Fail"},
      {"CJK", "\xE5\x8A\xA9", Utils::kCodePageUtf8, L"\x52A9"},
      {"outside the BMP", "\xF0\x9F\x98\x80", Utils::kCodePageUtf8, L"\U0001F600"},
      {"stops at the first zero byte", "ab\0cd"s, Utils::kCodePageUtf8, L"ab"},
      {"only a zero byte", "\0x"s, Utils::kCodePageUtf8, L""},
      {"stray byte", "a\xFF" "b", Utils::kCodePageUtf8, L"a\xFFFD" L"b"},
      {"stray continuation", "\x80", Utils::kCodePageUtf8, L"\xFFFD"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utils::MultiByteToWide(row.bytes, row.codePage), row.expected);
  }
}

TEST(Text, WideToMultiByteUtf8) {
  struct Row {
    const char* name;
    std::wstring text;
    std::string expected;
  };
  const Row rows[] = {
      {"empty", L"", ""},
      {"CJK", L"C:\\\x52A9", "C:\\\xE5\x8A\xA9"},
      {"outside the BMP", L"\U0001F600", "\xF0\x9F\x98\x80"},
      {"stops at the first zero", L"ab\0cd"s, "ab"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utils::WideToMultiByte(row.text, Utils::kCodePageUtf8), row.expected);
    EXPECT_EQ(Utils::MultiByteToWide(Utils::WideToMultiByte(row.text, Utils::kCodePageUtf8), Utils::kCodePageUtf8),
              row.text.substr(0, row.text.find(L'\0')));
  }
}

TEST(Text, OtherCodePages) {
  // Child processes may switch their output to a legacy code page ("Encode=").
  struct Row {
    const char* name;
    unsigned codePage;
    std::string bytes;
    std::wstring text;
  };
  const Row rows[] = {
      {"Chinese GBK", 936, "Set=\xC4\xE3\xBA\xC3", L"Set=\x4F60\x597D"},
      {"Western", 1252, "caf\xE9 \x80", L"caf\xE9 \x20AC"},
      {"stops at the first zero byte", 1252, "\xE9\0\xE9"s, L"\xE9"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utils::MultiByteToWide(row.bytes, row.codePage), row.text);
    EXPECT_EQ(Utils::WideToMultiByte(row.text, row.codePage), row.bytes.substr(0, row.bytes.find('\0')));
  }
  // A character the code page cannot hold becomes one '?', and the rest goes on.
  EXPECT_EQ(Utils::WideToMultiByte(L"a\x52A9" L"b\x4F60", 1252), "a?b?");
}

TEST(Text, UrlEncoding) {
  EXPECT_EQ(Utils::UrlEncodeBytes("a b%c"), "a+b%c");
  EXPECT_EQ(Utils::UrlEncodeBytes("\x01\x7F\x80\xFF!~"), "%01%7F%80%FF!~");
  EXPECT_EQ(Utils::UrlEncodeBytes("\n\t"s + '\0'), "%0A%09%00");
  EXPECT_EQ(Utils::UrlEncodeUtf8(L"\x52A9"), L"%E5%8A%A9");
  EXPECT_EQ(Utils::UrlEncodeUtf8(L"http://h/a b/\x52A9.exe"), L"http://h/a+b/%E5%8A%A9.exe");
  EXPECT_EQ(Utils::UrlEncodeUtf8(L""), L"");
}

TEST(Text, ReplaceAll) {
  struct Row {
    const char* name;
    std::wstring text, from, to, expected;
  };
  const Row rows[] = {
      {"route twice", L"http://h/${ROUTE}/x/${ROUTE}", L"${ROUTE}", L"download_silent",
       L"http://h/download_silent/x/download_silent"},
      {"searching again from the start", L"aaab", L"ab", L"b", L"b"},
      {"nothing to replace", L"abc", L"x", L"y", L"abc"},
      {"to empty", L"a-b-c", L"-", L"", L"abc"},
      {"empty from", L"abc", L"", L"x", L"abc"},
      {"replacement holding the searched text ends", L"a.b", L".", L"..", L"a..b"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utils::ReplaceAll(row.text, row.from, row.to), row.expected);
  }
}

TEST(Text, SplitLines) {
  using Lines = std::vector<std::string>;
  const struct {
    const char* name;
    std::string bytes;
    Lines expected;
  } rows[] = {
      {"empty", "", {}},
      {"no final break", "a\nb", {"a", "b"}},
      {"final break starts no line", "a\r\nb\r\n", {"a", "b"}},
      {"empty lines kept", "\n\na\n", {"", "", "a"}},
      {"only the last carriage return goes", "a\r\r\nb\rc", {"a\r", "b\rc"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utils::SplitLines(row.bytes), row.expected);
  }
}

TEST(Text, TrimAndStartsWith) {
  EXPECT_EQ(Utils::Trim(L"Success\r"), L"Success");
  EXPECT_EQ(Utils::Trim(L" \t\n\v\f\rUTF8 \t\n\v\f\r"), L"UTF8");
  EXPECT_EQ(Utils::Trim(L"a b"), L"a b");
  EXPECT_EQ(Utils::Trim(L" \r\n "), L"");
  EXPECT_EQ(Utils::Trim(L"\x3000x"), L"\x3000x");  // only the six ASCII blanks
  EXPECT_TRUE(Utils::StartsWith(L"State=Fail", L"State="));
  EXPECT_FALSE(Utils::StartsWith(L"XState=", L"State="));
  EXPECT_FALSE(Utils::StartsWith(L"Sta", L"State="));
  EXPECT_TRUE(Utils::StartsWith(L"abc", L""));
}

TEST(Text, UIntToWide) {
  EXPECT_EQ(Utils::UIntToWide(0), L"0");
  EXPECT_EQ(Utils::UIntToWide(390), L"390");
  EXPECT_EQ(Utils::UIntToWide(4294967295u), L"4294967295");
}

TEST(Text, Utf8ToWideIsStrict) {
  EXPECT_EQ(Utils::Utf8ToWide("Parlino \xE5\x8A\xA9"), L"Parlino \x52A9");
  EXPECT_EQ(Utils::Utf8ToWide("\xF0\x9F\x98\x80"), L"\U0001F600");
  EXPECT_EQ(Utils::Utf8ToWide("a\0b"s), L"a\0b"s);
  struct Row {
    const char* name;
    std::string bytes;
  };
  const Row bad[] = {
      {"stray byte", "\xFF"},
      {"overlong", "\xC0\x80"},
      {"surrogate", "\xED\xA0\x80"},
      {"truncated", "ok\xE5\x8A"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80"},
  };
  for (const Row& row : bad) {
    SCOPED_TRACE(row.name);
    try {
      Utils::Utf8ToWide(row.bytes);
      ADD_FAILURE() << "no exception";
    } catch (const std::range_error& error) {
      EXPECT_STREQ(error.what(), "bad conversion");
    }
  }
}

TEST(Text, WideToUtf8NeverThrows) {
  EXPECT_EQ(Utils::WideToUtf8(L"\x52A9"), "\xE5\x8A\xA9");
  EXPECT_EQ(Utils::WideToUtf8(L"\U0001F600"), "\xF0\x9F\x98\x80");
  std::wstring lone;
  lone.push_back(static_cast<wchar_t>(0xD800));
  lone.push_back(L'x');
  EXPECT_EQ(Utils::WideToUtf8(lone), "\xEF\xBF\xBDx");
  EXPECT_EQ(Utils::WideToUtf8(L"a\0b"s), "a\0b"s);
}
