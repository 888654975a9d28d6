#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <regex>
#include <string>
#include <thread>

#include "tests/utils/trace_capture.h"
#include "utils/debug_log.h"
#include "utils/os.h"

namespace {

std::wstring Padded(const wchar_t* format, unsigned value) {
  wchar_t text[32];
  std::swprintf(text, 32, format, value);
  return text;
}

std::wstring OnlyLine(const TraceCapture& capture) {
  const auto lines = capture.Lines();
  EXPECT_EQ(lines.size(), 1u);
  return lines.empty() ? std::wstring() : lines[0];
}

// The message part: everything after the prefix's ": ".
std::wstring Message(const std::wstring& line) {
  const size_t at = line.find(L">: ");
  return at == std::wstring::npos ? line : line.substr(at + 3);
}


}  // namespace

// Outside the anonymous namespace so that its names carry no namespace prefix.
struct TraceSite {
  int Method(int) const {
    auto callback = [](int code, double, const wchar_t*) { DebugLog(L"code %d", code); };
    callback(7, 0.5, L"x");
    return 0;
  }
  template <typename T>
  void Templated(T) {
    DebugLog(L"templated");
  }
  bool operator()(int) {
    DebugLog(L"call operator");
    return true;
  }
};

TEST(DebugLog, PrefixCarriesProcessThreadTimeFunctionAndLine) {
  TraceCapture capture;
  const int line = __LINE__ + 1;
  DebugLog(L"hello %d", 5);
  const std::wstring text = OnlyLine(capture);
  const std::wregex shape(
      LR"(^<P(\d{5,})><T(\d{5,})><(\d{4})-(\d{2})-(\d{2}) (\d{2}):(\d{2}):(\d{2})\.(\d{3})>\(([^)]*)\)<(\d{4,})>: hello 5\r\n$)");
  std::wsmatch match;
  ASSERT_TRUE(std::regex_match(text, match, shape)) << std::string(text.begin(), text.end());
  EXPECT_EQ(match[1].str(), Padded(L"%05u", Utils::CurrentProcessId()));
  EXPECT_EQ(match[2].str(), Padded(L"%05u", Utils::CurrentThreadId()));
  EXPECT_EQ(match[10].str(), L"DebugLog_PrefixCarriesProcessThreadTimeFunctionAndLine_Test::TestBody");
  EXPECT_EQ(match[11].str(), Padded(L"%04u", static_cast<unsigned>(line)));
  const int month = std::stoi(match[4].str()), hour = std::stoi(match[6].str());
  EXPECT_TRUE(month >= 1 && month <= 12);
  EXPECT_TRUE(hour >= 0 && hour <= 23);
}

TEST(DebugLog, LineNumberAndFunctionAsGiven) {
  TraceCapture capture;
  Utils::WriteTraceLine("CurlClient::Head", 49, L"error:%d:%s", 6, L"Couldn't resolve host name");
  const std::wstring text = OnlyLine(capture);
  EXPECT_NE(text.find(L"(CurlClient::Head)<0049>: error:6:Couldn't resolve host name\r\n"), std::wstring::npos);
  Utils::WriteTraceLine("F", 12345, L"x");
  EXPECT_EQ(capture.Matching(L"(F)<12345>: x").size(), 1u);
}

TEST(DebugLog, DebuggerTextGoesOutExactlyAsGiven) {
  TraceCapture capture;
  Utils::WriteDebuggerText(L"[analytics] VexloAnalytics SDK send failed");
  EXPECT_EQ(OnlyLine(capture), L"[analytics] VexloAnalytics SDK send failed");
}

TEST(DebugLog, MessageEndingInLineBreakGivesEmptyLineAfter) {
  TraceCapture capture;
  DebugLog(L"DL_CODE_SUCCESS\r\n");
  const std::wstring text = OnlyLine(capture);
  EXPECT_EQ(Message(text), L"DL_CODE_SUCCESS\r\n\r\n");
}

TEST(DebugLog, MessageFormatsTakeWideStrings) {
  struct Row {
    const char* name;
    std::wstring expected;
    void (*write)();
  };
  const Row rows[] = {
      {"wide %s", L"partPath::C:\\dl\\\x52A9.exe", [] { DebugLog(L"partPath::%s", L"C:\\dl\\\x52A9.exe"); }},
      {"width and flags", L"[  ab|cd  ]", [] { DebugLog(L"[%4s|%-4s]", L"ab", L"cd"); }},
      {"precision", L"abc", [] { DebugLog(L"%.3s", L"abcdef"); }},
      {"wide %c", L"<\x52A9>", [] { DebugLog(L"<%c>", L'\x52A9'); }},
      {"explicit %ls", L"ls", [] { DebugLog(L"%ls", L"ls"); }},
      {"integers", L"-7 4294967295 123456789012", [] {
         DebugLog(L"%d %u %lld", -7, 4294967295u, 123456789012LL);
       }},
      {"long", L"code=5", [] { DebugLog(L"code=%ld", 5L); }},
      {"double", L" 1M 2M   progress:50.000000%  speed:1.500000 \n", [] {
         DebugLog(L" %dM %dM   progress:%f%%  speed:%f \n", 1, 2, 50.0, 1.5);
       }},
      {"percent only", L"100%", [] { DebugLog(L"100%%"); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TraceCapture capture;
    row.write();
    EXPECT_EQ(Message(OnlyLine(capture)), row.expected + L"\r\n");
  }
}

TEST(DebugLog, LongMessagesAreWrittenWhole) {
  TraceCapture capture;
  const std::wstring url(5000, L'u');
  DebugLog(L"Download File real url %s", url.c_str());
  EXPECT_EQ(Message(OnlyLine(capture)), L"Download File real url " + url + L"\r\n");
}

TEST(DebugLog, QualifiedFunctionNameFromPrettySignatures) {
  struct Row {
    const char* pretty;
    const char* expected;
  };
  const Row rows[] = {
      {"bool CurlClient::Head(const std::wstring&)", "CurlClient::Head"},
      {"static uint32_t Utils::Thread::CallBack(Utils::Thread*)", "Utils::Thread::CallBack"},
      {"int main()", "main"},
      {"void CInstaller::Parse(const char*) const", "CInstaller::Parse"},
      {"const std::map<int, std::basic_string<wchar_t> >& Foo::Table() const &", "Foo::Table"},
      {"T Max(T, T) [with T = int]", "Max"},
      {"void ns::Box<T>::Put(const T&) [with T = std::pair<int, int>]", "ns::Box<T>::Put"},
      {"CDownloadInstaller::Start(const std::wstring&)::<lambda(int32_t, double, const wchar_t*)>",
       "CDownloadInstaller::Start::<lambda>"},
      {"CDownloadInstaller::Start(int) const::<lambda(int)>::<lambda()>",
       "CDownloadInstaller::Start::<lambda>::<lambda>"},
      {"auto CDownloadInstaller::Start()::(anonymous class)::operator()(int) const",
       "CDownloadInstaller::Start::(anonymous class)::operator()"},
      {"bool Foo::operator()(int)", "Foo::operator()"},
      {"bool Foo::operator<(const Foo&) const", "Foo::operator<"},
      {"Foo& Foo::operator<<=(int)", "Foo::operator<<="},
      {"Foo::operator int() const", "Foo::operator int"},
      {"static void* Foo::operator new[](size_t)", "Foo::operator new[]"},
      {"void {anonymous}::Helper(int)", "{anonymous}::Helper"},
      {"void (anonymous namespace)::Helper(int)", "(anonymous namespace)::Helper"},
      {"bool __cdecl CurlClient::Head(const class std::basic_string<wchar_t> &)", "CurlClient::Head"},
      {"", ""},
      {"garbage(", "garbage"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pretty);
    EXPECT_EQ(Utils::QualifiedFunctionName(row.pretty), row.expected);
  }
}

TEST(DebugLog, CallSitesNameTheirOwnFunction) {
  TraceCapture capture;
  TraceSite outer;
  outer.Method(1);
  outer.Templated(2.5);
  outer(3);
  const auto lambda = capture.Matching(L"code 7");
  ASSERT_EQ(lambda.size(), 1u);
  EXPECT_NE(lambda[0].find(L"(TraceSite::Method::"), std::wstring::npos);
  EXPECT_EQ(capture.Matching(L"(TraceSite::Templated)").size(), 1u);
  EXPECT_EQ(capture.Matching(L"(TraceSite::operator())").size(), 1u);
}

TEST(DebugLog, RemovedSinkReceivesNothing) {
  std::vector<std::wstring> lines;
  Utils::SetTraceSink([&lines](const std::wstring& line) { lines.push_back(line); });
  DebugLog(L"one");
  Utils::SetTraceSink(nullptr);
  DebugLog(L"two");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(Message(lines[0]), L"one\r\n");
}

TEST(DebugLog, RemovingTheSinkWaitsForLinesInFlight) {
  // A sink busy with a worker's line while its owner removes it: once SetTraceSink
  // returns, the owner may destroy what the sink captured.
  constexpr auto kSinkBusy = std::chrono::milliseconds(50);
  std::atomic<bool> entered{false};
  std::atomic<bool> inside{false};
  Utils::SetTraceSink([&](const std::wstring&) {
    inside = true;
    entered = true;
    std::this_thread::sleep_for(kSinkBusy);
    inside = false;
  });
  std::thread worker([] { DebugLog(L"from a worker"); });
  while (!entered) std::this_thread::yield();
  Utils::SetTraceSink(nullptr);
  EXPECT_FALSE(inside.load());
  worker.join();
}
