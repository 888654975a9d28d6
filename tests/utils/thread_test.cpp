#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "tests/utils/trace_capture.h"
#include "utils/os.h"
#include "utils/thread.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Long enough for a wrongly started thread to have run its body.
constexpr auto kSettle = std::chrono::milliseconds(50);

std::wstring ThreadTag(uint32_t id) {
  wchar_t text[32];
  std::swprintf(text, 32, L"<T%05u>", id);
  return text;
}

// The name the system keeps for a thread of this process; empty when it cannot say.
std::wstring SystemThreadName(uint32_t id) {
#ifdef _WIN32
  using GetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE, PWSTR*);
  auto getDescription = reinterpret_cast<GetThreadDescriptionFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
  HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, id);
  std::wstring name;
  PWSTR description = nullptr;
  if (getDescription && thread && SUCCEEDED(getDescription(thread, &description)) && description) {
    name = description;
    LocalFree(description);
  }
  if (thread) CloseHandle(thread);
  return name;
#else
  std::string bytes;
  Utils::ReadWholeFile(L"/proc/self/task/" + std::to_wstring(id) + L"/comm", bytes);
  while (!bytes.empty() && bytes.back() == '\n') bytes.pop_back();
  return std::wstring(bytes.begin(), bytes.end());
#endif
}

}  // namespace

TEST(Thread, PublishesItsNameToTheSystem) {
  Utils::Thread named(nullptr, L"UnInstaller", [](void*) -> uint32_t { return 0; });
  Utils::Thread unnamed(nullptr, L"", [](void*) -> uint32_t { return 0; });
  const std::wstring name = SystemThreadName(named.ThreadId());
  if (name.empty()) GTEST_SKIP() << "this system does not report thread names";
  EXPECT_EQ(name, L"UnInstaller");
  EXPECT_EQ(SystemThreadName(unnamed.ThreadId()), L"t" + std::to_wstring(unnamed.ThreadId()));
  named.Resume();
  unnamed.Resume();
}

TEST(Thread, BodyRunsOnlyAfterResumeWithItsParameter) {
  std::atomic<bool> ran{false};
  int owner = 0;
  std::atomic<void*> seen{nullptr};
  Utils::Thread thread(&owner, L"ABDEF", [&](void* parameter) -> uint32_t {
    seen = parameter;
    ran = true;
    return 0;
  });
  ASSERT_TRUE(thread.IsValid());
  EXPECT_NE(thread.ThreadId(), Utils::Thread::kNoThreadId);
  EXPECT_EQ(thread.Name(), L"ABDEF");
  std::this_thread::sleep_for(kSettle);
  EXPECT_FALSE(ran.load());
  thread.Resume();
  thread.Join();
  EXPECT_TRUE(ran.load());
  EXPECT_EQ(seen.load(), &owner);
  EXPECT_EQ(thread.ThreadId(), Utils::Thread::kNoThreadId);
  EXPECT_FALSE(thread.IsValid());
}

TEST(Thread, TracesBeginAndEndOnItsOwnThread) {
  TraceCapture capture;
  uint32_t id = 0;
  {
    Utils::Thread thread(nullptr, L"UnInstaller", [](void*) -> uint32_t {
      DebugLog(L"body");
      return 7;
    });
    id = thread.ThreadId();
    thread.Resume();
  }  // destruction joins
  const auto lines = capture.Matching(ThreadTag(id));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].find(L"(Utils::Thread::CallBack)"), std::wstring::npos);
  EXPECT_NE(lines[0].find(L": THREAD BEGIN\r\n"), std::wstring::npos);
  EXPECT_NE(lines[1].find(L": body\r\n"), std::wstring::npos);
  EXPECT_NE(lines[2].find(L"(Utils::Thread::CallBack)"), std::wstring::npos);
  EXPECT_NE(lines[2].find(L": THREAD END\r\n"), std::wstring::npos);
}

TEST(Thread, JoinAfterEndAndRepeatedCallsAreHarmless) {
  std::atomic<bool> done{false};
  Utils::Thread thread(nullptr, L"", [&](void*) -> uint32_t {
    done = true;
    return 0;
  });
  thread.Resume();
  thread.Resume();
  while (!done) std::this_thread::yield();
  thread.Join();
  thread.Join();
  thread.Resume();
  EXPECT_EQ(thread.ThreadId(), Utils::Thread::kNoThreadId);
}

TEST(Thread, DestructionWaitsForTheBody) {
  std::atomic<bool> finished{false};
  {
    Utils::Thread thread(nullptr, L"ABDEF", [&](void*) -> uint32_t {
      std::this_thread::sleep_for(kSettle);
      finished = true;
      return 0;
    });
    thread.Resume();
  }
  EXPECT_TRUE(finished.load());
}

TEST(Thread, NeverResumedThreadEndsWithoutRunningItsBody) {
  TraceCapture capture;
  std::atomic<bool> ran{false};
  uint32_t id = 0;
  {
    Utils::Thread thread(nullptr, L"idle", [&](void*) -> uint32_t {
      ran = true;
      return 0;
    });
    id = thread.ThreadId();
  }
  {
    Utils::Thread joined(nullptr, L"idle", [&](void*) -> uint32_t {
      ran = true;
      return 0;
    });
    joined.Join();
    EXPECT_EQ(joined.ThreadId(), Utils::Thread::kNoThreadId);
  }
  EXPECT_FALSE(ran.load());
  EXPECT_TRUE(capture.Matching(ThreadTag(id)).empty());
}

TEST(Thread, ThreadsRunSideBySide) {
  constexpr int kThreads = 4;
  std::atomic<int> arrived{0};
  std::atomic<int> sum{0};
  std::vector<std::unique_ptr<Utils::Thread>> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.push_back(std::make_unique<Utils::Thread>(reinterpret_cast<void*>(static_cast<intptr_t>(i + 1)), L"",
                                                      [&](void* parameter) -> uint32_t {
                                                        ++arrived;
                                                        // every body waits for all: they must run at once
                                                        while (arrived < kThreads) std::this_thread::yield();
                                                        sum += static_cast<int>(reinterpret_cast<intptr_t>(parameter));
                                                        return 0;
                                                      }));
  }
  for (auto& thread : threads) thread->Resume();
  threads.clear();
  EXPECT_EQ(sum.load(), 1 + 2 + 3 + 4);
}

TEST(Thread, DebuggerName) {
  EXPECT_EQ(Utils::Thread::DebuggerName(L"", 4242), L"t4242");
  EXPECT_EQ(Utils::Thread::DebuggerName(L"UnInstaller", 4242), L"UnInstaller");
  EXPECT_EQ(Utils::Thread::DebuggerName(L"", 0), L"t0");
}
