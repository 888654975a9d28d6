// Failure reasons: the two reason texts and the machine measurements behind the
// detailed one.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/failure_reasons.h"
#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/text.h"

namespace {

using namespace FailureReasons;

TEST(FailureReasons, TextsAreFormattedAndCut) {
  const std::wstring longText(500, L'x');
  const struct {
    const char* name;
    std::wstring reason;
    std::wstring expected;
  } cases[] = {
      {"detailed", DetailedReason(28.0, L"LibCurl", 12.345, true, 0x20001),
       L"1.code=28；2.msg=LibCurl；3.缓存磁盘容量=12.35G；4.缓存读写权限=可读；5.服务器连接状态code=131073"},
      {"detailed, no access, value truncated", DetailedReason(2.9, L"", 0.0, false, 0),
       L"1.code=2；2.msg=；3.缓存磁盘容量=0.00G；4.缓存读写权限=无权限；5.服务器连接状态code=0"},
      {"short", ShortReason(1000.0, L"磁盘已满"), L":1.code=1000；2.msg=磁盘已满"},
      {"short, negative value truncated toward zero", ShortReason(-998.7, L"x"), L":1.code=-998；2.msg=x"},
      {"short, cut at 199", ShortReason(2.9, longText), (L":1.code=2；2.msg=" + longText).substr(0, 199)},
      {"detailed, cut at 199", DetailedReason(0.0, longText, 1.0, true, 0),
       (L"1.code=0；2.msg=" + longText).substr(0, 199)},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utils::WideToUtf8(row.reason), Utils::WideToUtf8(row.expected));
  }
}

TEST(FailureReasons, StatusValuesThatDoNotFitAreClamped) {
  EXPECT_EQ(StatusValueCode(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(StatusValueCode(1e300), 2147483647);
  EXPECT_EQ(StatusValueCode(-1e300), -2147483647 - 1);
}

TEST(FailureReasons, WriteAccessIsMeasuredOnThePackageFile) {
  TestSupport::TempDir dir;
  const std::wstring package = dir.File(L"__Package_Parlino.exe");
  // No file yet: one is made and removed again.
  EXPECT_TRUE(ProbeWriteAccess(package));
  EXPECT_FALSE(Utils::PathExists(package));
  // A leftover package is deleted.
  ASSERT_TRUE(Utils::WriteWholeFile(package, "partial"));
  EXPECT_TRUE(ProbeWriteAccess(package));
  EXPECT_FALSE(Utils::PathExists(package));
  // A folder that cannot be written (here: one that does not exist).
  const std::wstring unwritable = Utils::JoinPath(dir.File(L"missing"), L"__Package_Parlino.exe");
  EXPECT_FALSE(ProbeWriteAccess(unwritable));
  EXPECT_NE(DetailedReason(1004, L"LibCurl", FreeSpaceGiB(unwritable), ProbeWriteAccess(unwritable), 0)
                .find(L"4.缓存读写权限=无权限"),
            std::wstring::npos);
}

TEST(FailureReasons, FreeSpaceOfTheDrive) {
  TestSupport::TempDir dir;
  const double gib = FreeSpaceGiB(dir.File(L"__Package_Parlino.exe"));
  EXPECT_GT(gib, 0.0);
  EXPECT_TRUE(std::isfinite(gib));
}

}  // namespace
