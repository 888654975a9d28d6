#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#endif

// after windows.h
#include "tests/support/test_support.h"
#include "utils/os.h"

namespace {
const std::wstring kSep(1, Utils::kPathSeparator);

bool SetEmptyEnvironmentVariable(const char* name) {
#ifdef _WIN32
  const std::wstring wide(name, name + std::char_traits<char>::length(name));
  return SetEnvironmentVariableW(wide.c_str(), L"") != FALSE;
#else
  return setenv(name, "", 1) == 0;
#endif
}
}  // namespace

TEST(Os, PathHelpers) {
  struct Row {
    const char* name;
    std::wstring path, fileName, directory;
  };
  const Row rows[] = {
      {"nested", L"a" + kSep + L"b" + kSep + L"c.exe", L"c.exe", L"a" + kSep + L"b"},
      {"backslash", L"C:\\dl\\pkg.exe", L"pkg.exe", L"C:\\dl"},
      {"slash", L"/tmp/x", L"x", L"/tmp"},
      {"mixed", L"a/b\\c", L"c", L"a/b"},
      {"bare name", L"pkg.exe", L"pkg.exe", L""},
      {"trailing separator", L"a" + kSep, L"", L"a"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utils::FileNamePart(row.path), row.fileName);
    EXPECT_EQ(Utils::DirectoryPart(row.path), row.directory);
  }
  EXPECT_EQ(Utils::JoinPath(L"a", L"b"), L"a" + kSep + L"b");
  EXPECT_EQ(Utils::JoinPath(L"a" + kSep, L"b"), L"a" + kSep + L"b");
  EXPECT_EQ(Utils::JoinPath(L"", L"b"), L"b");
}

TEST(Os, DrivePart) {
#ifdef _WIN32
  EXPECT_EQ(Utils::DrivePart(L"C:\\Program Files\\Parlino"), L"C:");
  EXPECT_EQ(Utils::DrivePart(L"d:\\x"), L"d:");
#else
  TestSupport::TempDir temp;
  const std::wstring missing = Utils::JoinPath(Utils::JoinPath(temp.Path(), L"no"), L"such");
  EXPECT_EQ(Utils::DrivePart(missing), temp.Path());
  EXPECT_EQ(Utils::DrivePart(temp.Path()), temp.Path());
  EXPECT_EQ(Utils::DrivePart(L"/no-such-root-7f3a/x"), L"/");
#endif
}

TEST(Os, Files) {
  TestSupport::TempDir temp;
  const std::wstring file = temp.File(L"\x52A9 data.bin");
  const std::string bytes("a\0b\r\n\xFF", 6);
  EXPECT_FALSE(Utils::PathExists(file));
  EXPECT_EQ(Utils::FileSize(file), -1);
  std::string read = "stale";
  EXPECT_FALSE(Utils::ReadWholeFile(file, read));
  EXPECT_TRUE(read.empty());

  ASSERT_TRUE(Utils::WriteWholeFile(file, bytes));
  EXPECT_TRUE(Utils::PathExists(file));
  EXPECT_FALSE(Utils::IsDirectory(file));
  EXPECT_TRUE(Utils::IsDirectory(temp.Path()));
  EXPECT_EQ(Utils::FileSize(file), 6);
  ASSERT_TRUE(Utils::ReadWholeFile(file, read));
  EXPECT_EQ(read, bytes);

  const std::wstring copy = temp.File(L"copy.bin");
  ASSERT_TRUE(Utils::CopyFilePath(file, copy));
  ASSERT_TRUE(Utils::ReadWholeFile(copy, read));
  EXPECT_EQ(read, bytes);
  EXPECT_FALSE(Utils::CopyFilePath(file, file));  // onto itself: refused, the file kept whole
  const std::wstring sameFile = Utils::JoinPath(Utils::JoinPath(temp.Path(), L"."), Utils::FileNamePart(file));
  EXPECT_FALSE(Utils::CopyFilePath(file, sameFile));
  EXPECT_EQ(Utils::FileSize(file), 6);

  const std::wstring other = temp.File(L"other.bin");
  ASSERT_TRUE(Utils::WriteWholeFile(other, "old"));
  EXPECT_TRUE(Utils::MoveFileReplace(copy, other));  // replaces the target
  EXPECT_FALSE(Utils::PathExists(copy));
  EXPECT_EQ(Utils::FileSize(other), 6);

  EXPECT_TRUE(Utils::DeleteFilePath(other));
  EXPECT_FALSE(Utils::DeleteFilePath(other));
  EXPECT_FALSE(Utils::DeleteFilePath(temp.Path()));  // folders are not files
  EXPECT_FALSE(Utils::CopyFilePath(other, copy));
  EXPECT_FALSE(Utils::WriteWholeFile(Utils::JoinPath(temp.File(L"no-dir"), L"f"), "x"));

  const std::wstring dir = temp.File(L"dir");
  EXPECT_TRUE(Utils::MakeDirectory(dir));
  EXPECT_FALSE(Utils::MakeDirectory(dir));
  EXPECT_TRUE(Utils::IsDirectory(dir));
}

TEST(Os, ProcessAndEnvironment) {
  EXPECT_EQ(Utils::FileNamePart(Utils::GetModulePath()).rfind(L"utils_test", 0), 0u);
  EXPECT_TRUE(Utils::GetEnv(L"PATH").has_value());
  EXPECT_FALSE(Utils::GetEnv(L"PARLINO_NO_SUCH_VARIABLE_7F3A").has_value());
  ASSERT_TRUE(SetEmptyEnvironmentVariable("PARLINO_EMPTY_VARIABLE_7F3A"));
  EXPECT_EQ(Utils::GetEnv(L"PARLINO_EMPTY_VARIABLE_7F3A"), std::optional<std::wstring>(L""));  // set, but empty
  EXPECT_NE(Utils::CurrentProcessId(), 0u);
  EXPECT_NE(Utils::CurrentThreadId(), 0u);
  const std::wstring temp = Utils::GetTempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), Utils::kPathSeparator);
  EXPECT_TRUE(Utils::IsDirectory(temp));
}

TEST(Os, Time) {
  const Utils::LocalTime now = Utils::GetLocalTimeNow();
  EXPECT_GE(now.year, 2020);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.day >= 1 && now.day <= 31);
  EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
  EXPECT_TRUE(now.minute >= 0 && now.minute <= 59);
  EXPECT_TRUE(now.second >= 0 && now.second <= 60);
  EXPECT_TRUE(now.milliseconds >= 0 && now.milliseconds <= 999);
  const uint32_t first = Utils::TickCountMs();
  Utils::SleepMs(2);
  EXPECT_GE(static_cast<uint32_t>(Utils::TickCountMs() - first), 1u);
}

TEST(Os, SleepHookReplacesSleeping) {
  std::vector<uint32_t> sleeps;
  Utils::SetSleepHookForTesting([&sleeps](uint32_t ms) { sleeps.push_back(ms); });
  const uint32_t before = Utils::TickCountMs();
  Utils::SleepMs(60 * 60 * 1000);
  Utils::SleepMs(400);
  const uint32_t after = Utils::TickCountMs();
  Utils::SetSleepHookForTesting(nullptr);
  EXPECT_EQ(sleeps, (std::vector<uint32_t>{60 * 60 * 1000, 400}));
  EXPECT_LT(static_cast<uint32_t>(after - before), 60u * 60u * 1000u);
}

TEST(Os, RemovingTheSleepHookWaitsForSleepsInFlight) {
  constexpr auto kHookBusy = std::chrono::milliseconds(50);
  std::atomic<bool> entered{false};
  std::atomic<bool> inside{false};
  Utils::SetSleepHookForTesting([&](uint32_t) {
    inside = true;
    entered = true;
    std::this_thread::sleep_for(kHookBusy);
    inside = false;
  });
  std::thread worker([] { Utils::SleepMs(500); });
  while (!entered) std::this_thread::yield();
  Utils::SetSleepHookForTesting(nullptr);
  EXPECT_FALSE(inside.load());
  worker.join();
}
