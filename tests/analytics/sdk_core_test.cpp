// Records, validation and JSON text of the SDK core, checked against golden strings.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <limits>
#include <regex>

#include "analytics/sdk/body_encoding.h"
#include "analytics/sdk/sdk.h"
#include "analytics/sdk/value_node.h"
#include "tests/support/test_support.h"
#include "utils/text.h"

using namespace track_sdk;

namespace {

constexpr int64_t kSeconds = 1709647629;  // 2024-03-05 14:07:09 UTC (tests run with TZ=UTC)

std::string MaskTrackId(const std::string& json) {
  return std::regex_replace(json, std::regex("\"_track_id\":[0-9]+"), "\"_track_id\":N");
}

std::string Gunzip(const std::string& data) {
  z_stream stream{};
  EXPECT_EQ(inflateInit2(&stream, 31), Z_OK);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  std::string out;
  int result = Z_OK;
  while (result == Z_OK) {
    char chunk[4096];
    stream.next_out = reinterpret_cast<Bytef*>(chunk);
    stream.avail_out = sizeof chunk;
    result = inflate(&stream, Z_NO_FLUSH);
    out.append(chunk, sizeof chunk - stream.avail_out);
  }
  EXPECT_EQ(result, Z_STREAM_END);
  inflateEnd(&stream);
  return out;
}

class SdkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Sdk::Init(Utils::WideToUtf8(m_Dir.File(L"staging.txt")), "http://127.0.0.1:1/sa", "user-1", false));
  }
  void TearDown() override { Sdk::Shutdown(); }
  std::string LastRecord() {
    auto records = Sdk::QueuedRecords();
    return records.empty() ? std::string() : MaskTrackId(records.back());
  }
  TestSupport::TempDir m_Dir;
};

}  // namespace

TEST(JsonText, ValuesAreWrittenExactly) {
  struct Row {
    const char* name;
    std::function<void(PropertiesNode&)> set;
    const char* json;
  } rows[] = {
      {"escapes", [](PropertiesNode& p) { p.SetString("k", "q\"b\\s/\n\r\t\xE4\xB8\xAD"); },
       "{\"k\":\"q\\\"b\\\\s/\\n\\r\\t\xE4\xB8\xAD\"}"},
      {"list item refused", [](PropertiesNode& p) { p.SetList("k", {"ok", "\x01"}); }, "{}"},
      {"half", [](PropertiesNode& p) { p.SetNumber("k", 0.5); }, "{\"k\":0.5}"},
      {"three", [](PropertiesNode& p) { p.SetNumber("k", 3.0); }, "{\"k\":3}"},
      {"six digits", [](PropertiesNode& p) { p.SetNumber("k", 123456.7); }, "{\"k\":123457}"},
      {"million", [](PropertiesNode& p) { p.SetNumber("k", 1000000.0); }, "{\"k\":1e+06}"},
      {"small", [](PropertiesNode& p) { p.SetNumber("k", -0.000012345678); }, "{\"k\":-1.23457e-05}"},
      {"float widened", [](PropertiesNode& p) { p.SetNumber("k", static_cast<double>(1.1f)); }, "{\"k\":1.1}"},
      {"not a number", [](PropertiesNode& p) { p.SetNumber("k", std::nan("")); }, "{\"k\":null}"},
      {"infinity", [](PropertiesNode& p) { p.SetNumber("k", std::numeric_limits<double>::infinity()); }, "{\"k\":null}"},
      {"integer", [](PropertiesNode& p) { p.SetInteger("k", -9007199254740993LL); }, "{\"k\":-9007199254740993}"},
      {"booleans", [](PropertiesNode& p) { p.SetBool("t", true); p.SetBool("f", false); }, "{\"f\":false,\"t\":true}"},
      {"date-time", [](PropertiesNode& p) { p.SetDateTime("k", kSeconds, 120); }, "{\"k\":\"2024-03-05 14:07:09.120\"}"},
      {"list", [](PropertiesNode& p) { p.SetList("k", {"a", "b\"", ""}); }, "{\"k\":[\"a\",\"b\\\"\",\"\"]}"},
      {"empty list", [](PropertiesNode& p) { p.SetList("k", {}); }, "{\"k\":[]}"},
      {"byte order of keys", [](PropertiesNode& p) { p.SetInteger("b", 1); p.SetInteger("_", 2); p.SetInteger("B", 3); p.SetInteger("$", 4); },
       "{\"$\":4,\"B\":3,\"_\":2,\"b\":1}"},
      {"replace", [](PropertiesNode& p) { p.SetInteger("k", 1); p.SetString("k", "x"); }, "{\"k\":\"x\"}"},
      {"no object in properties", [](PropertiesNode& p) { p.SetObject("o", utils::ObjectNode()); }, "{}"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PropertiesNode properties;
    row.set(properties);
    EXPECT_EQ(properties.ToJson(), row.json);
  }
  // Backspace and form feed never pass the setters, but the writer still escapes them.
  utils::ValueNode raw;
  raw.type = ValueType::String;
  raw.text = "\b\f";
  std::string text;
  utils::AppendJson(text, raw);
  EXPECT_EQ(text, "\"\\b\\f\"");
  utils::ObjectNode outer, inner;
  inner.SetInteger("x", 1);
  outer.SetObject("o", inner);
  EXPECT_EQ(outer.ToJson(), "{\"o\":{\"x\":1}}");
}

TEST(JsonText, StringValuesAreValidated) {
  struct Row {
    const char* name;
    std::string value;
    bool accepted;
  } rows[] = {
      {"8192 bytes", std::string(8192, 'a'), true},
      {"8193 bytes", std::string(8193, 'a'), false},
      {"tab and line feed", "a\tb\nc\r", true},
      {"byte 0x01", "a\x01", false},
      {"NUL", std::string("a\0b", 3), false},
      {"DEL", "\x7F", false},
      {"two-byte", "\xC3\xA4", true},
      {"overlong", "\xC0\xAF", false},
      {"stray continuation", "\x80", false},
      {"surrogate", "\xED\xA0\x80", false},
      {"three-byte", "\xE4\xB8\xAD\xE6\x96\x87", true},
      {"four-byte", "\xF0\x9F\x98\x80", true},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false},
      {"truncated", "\xE4\xB8", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PropertiesNode properties;
    EXPECT_EQ(properties.SetString("k", row.value), row.accepted);
    EXPECT_EQ(properties.Find("k") != nullptr, row.accepted);
  }
}

TEST(JsonText, KeyNamesAndIds) {
  struct Row {
    std::string key;
    bool valid;
  } rows[] = {{"abc", true},         {"$time2", true},         {"_x9", true},  {"1abc", false},
              {"a-b", false},        {"", false},              {"a b", false}, {std::string(100, 'k'), true},
              {std::string(101, 'k'), false}, {"\xE4\xB8\xAD", false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(CheckKeyName("Property Key", row.key), row.valid);
  }
  EXPECT_TRUE(CheckIdText("Distinct ID", std::string(255, 'i')));
  EXPECT_FALSE(CheckIdText("Distinct ID", std::string(256, 'i')));
  EXPECT_FALSE(CheckIdText("Distinct ID", ""));
}

TEST(JsonText, TrackIdJoinsThreeParts) {
  EXPECT_EQ(MakeTrackId(0, 0, 1709647629120LL), 9120);  // "00" + "000" + "9120"
  EXPECT_EQ(MakeTrackId(98, 998, 5), 989985);  // "98" + "998" + "5"
  EXPECT_EQ(MakeTrackId(12, 345, 1234567), 123454567);
  EXPECT_LE(MakeTrackId(4000000000u, 4000000000u, INT64_MAX), 999999999);
}

TEST(BodyEncoding, Base64AndPercentEncoding) {
  struct Row {
    std::string in, out;
  } rows[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"\xFB\xFF", "+/8="}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    EXPECT_EQ(Base64Encode(row.in), row.out);
  }
  EXPECT_EQ(UrlEncode("aZ09-._~+/= %\xE4"), "aZ09-._~%2B%2F%3D%20%25%E4");
}

TEST(BodyEncoding, BodyIsPercentEncodedBase64OfGzip) {
  const std::string json = "[{\"a\":\"" + std::string(70000, 'x') + "\"}]";  // more than one deflate chunk in
  std::string body;
  ASSERT_TRUE(EncodeBody(json, body));
  const std::string prefix = "data_list=", suffix = "&gzip=1";
  ASSERT_EQ(body.rfind(prefix, 0), 0u);
  ASSERT_EQ(body.substr(body.size() - suffix.size()), suffix);
  std::string encoded = body.substr(prefix.size(), body.size() - prefix.size() - suffix.size());
  EXPECT_EQ(encoded.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789%"),
            std::string::npos);
  std::string compressed;
  ASSERT_TRUE(GzipCompress(json, compressed));
  ASSERT_GE(compressed.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(compressed[0]), 0x1F);
  EXPECT_EQ(static_cast<unsigned char>(compressed[1]), 0x8B);
  EXPECT_EQ(Gunzip(compressed), json);
  EXPECT_EQ(UrlEncode(Base64Encode(compressed)), encoded);
}

TEST_F(SdkTest, TrackRecordIsByteExact) {
  PropertiesNode properties;
  properties.SetDateTime("$time", kSeconds, 120);
  properties.SetString("$project", "proj");
  properties.SetString("b", "x\ty");
  properties.SetNumber("a", 0.5);
  properties.SetString("$lib", "mine");  // given properties win over super properties
  Sdk::TrackEvent("Ev_1", properties);
  EXPECT_EQ(LastRecord(),
            "{\"_track_id\":N,\"distinct_id\":\"user-1\",\"event\":\"Ev_1\","
            "\"lib\":{\"$lib\":\"cpp\",\"$lib_method\":\"code\",\"$lib_version\":\"0.9\"},\"project\":\"proj\","
            "\"properties\":{\"$lib\":\"mine\",\"$lib_version\":\"0.9\",\"a\":0.5,\"b\":\"x\\ty\"},"
            "\"time\":1709647629120,\"type\":\"track\"}");
}

TEST_F(SdkTest, SuperPropertiesOnlyInTrackRecordsAndLoginFlagEverywhere) {
  PropertiesNode super;
  super.SetString("vx_app_id", "App");
  Sdk::MergeSuperProperties(super);
  Sdk::SetProfile("vx_label", std::string("L"));
  std::string profile = LastRecord();
  EXPECT_NE(profile.find("\"properties\":{\"vx_label\":\"L\"}"), std::string::npos) << profile;
  EXPECT_NE(profile.find("\"type\":\"profile_set\""), std::string::npos);
  EXPECT_EQ(profile.find("\"event\""), std::string::npos);

  Sdk::SignUp("login-7");
  const std::string signup = LastRecord();
  EXPECT_NE(signup.find("\"distinct_id\":\"login-7\""), std::string::npos) << signup;
  EXPECT_NE(signup.find("\"event\":\"$SignUp\""), std::string::npos);
  EXPECT_NE(signup.find("\"original_id\":\"user-1\""), std::string::npos);
  EXPECT_NE(signup.find("\"type\":\"track_signup\""), std::string::npos);
  EXPECT_NE(signup.find("\"vx_app_id\":\"App\""), std::string::npos);

  Sdk::IncrementProfile("vx_visit_count", int64_t{2});
  EXPECT_NE(LastRecord().find("\"properties\":{\"$is_login_id\":true,\"vx_visit_count\":2}"), std::string::npos)
      << LastRecord();
  Sdk::AppendProfile("tags", "t");
  EXPECT_NE(LastRecord().find("\"tags\":[\"t\"]"), std::string::npos);
  EXPECT_NE(LastRecord().find("\"distinct_id\":\"login-7\""), std::string::npos);
}

TEST_F(SdkTest, RefusedChecksQueueNothing) {
  struct Row {
    const char* name;
    std::function<void(PropertiesNode&)> set;
    std::string event;
  } rows[] = {
      {"key starting with a digit", [](PropertiesNode& p) { p.SetInteger("1a", 1); }, "Ev"},
      {"key with a hyphen", [](PropertiesNode& p) { p.SetInteger("a-b", 1); }, "Ev"},
      {"key of 101 bytes", [](PropertiesNode& p) { p.SetInteger(std::string(101, 'k'), 1); }, "Ev"},
      {"$time not a date-time", [](PropertiesNode& p) { p.SetInteger("$time", 1); }, "Ev"},
      {"$project not a string", [](PropertiesNode& p) { p.SetInteger("$project", 1); }, "Ev"},
      {"bad event name", [](PropertiesNode&) {}, "9Ev"},
      {"empty event name", [](PropertiesNode&) {}, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PropertiesNode properties;
    row.set(properties);
    Sdk::TrackEvent(row.event, properties);
    EXPECT_TRUE(Sdk::QueuedRecords().empty());
  }
  // A refused string value is left out, the record still goes.
  PropertiesNode properties;
  properties.SetString("bad", "\x01");
  Sdk::TrackEvent("Ev", properties);
  ASSERT_EQ(Sdk::QueuedRecords().size(), 1u);
  EXPECT_EQ(LastRecord().find("bad"), std::string::npos);
}

TEST_F(SdkTest, SignUpWithoutCurrentIdQueuesNothingButSwitchesIdentity) {
  Sdk::SetDistinctId("", false);
  Sdk::SignUp("login-9");
  EXPECT_TRUE(Sdk::QueuedRecords().empty());
  EXPECT_EQ(Sdk::DistinctId(), "login-9");
  Sdk::TrackEvent("Ev", PropertiesNode());
  EXPECT_NE(LastRecord().find("\"$is_login_id\":true"), std::string::npos);
}

TEST(SdkLifecycle, RefusedDistinctIdStartsNothing) {
  EXPECT_FALSE(Sdk::Init("", "http://127.0.0.1:1/sa", "", false));
  EXPECT_FALSE(Sdk::Init("", "http://127.0.0.1:1/sa", std::string(256, 'x'), false));
  EXPECT_FALSE(Sdk::IsRunning());
  Sdk::TrackEvent("Ev", PropertiesNode());  // no instance: nothing happens
  EXPECT_FALSE(Sdk::FlushAll());
  Sdk::Shutdown();
}
