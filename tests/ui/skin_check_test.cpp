#include "ui/skin_check.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/ui/ui_fixtures.h"
#include "ui/seven_zip_archive.h"
#include "ui/xml_markup.h"

namespace {

using SkinUI::CheckSkinArchive;
using SkinUI::SevenZipArchive;
using SkinUI::SkinCheckReport;

std::set<std::wstring> Details(const SkinCheckReport& report, const std::wstring& kind) {
  std::set<std::wstring> details;
  for (const auto& problem : report.problems) {
    if (problem.kind == kind) details.insert(problem.detail);
  }
  return details;
}

// The fixture layout names images in every way a skin can: plain names, pairs,
// colours, Default lists, frame patterns, both separators and other letter cases.
TEST(SkinCheck, FixtureReportsExactlyItsMissingNames) {
  SevenZipArchive archive;
  ASSERT_TRUE(archive.OpenFile(UiTest::FixturePath(L"skin_small.7z")));
  const SkinCheckReport report = CheckSkinArchive(archive);
  EXPECT_EQ(report.layouts.size(), 2u);
  EXPECT_EQ(Details(report, L"missing image"),
            (std::set<std::wstring>{L"res\\common\\missing1.png", L"res/common/missing2.png",
                                    L"res\\common\\nodefault.png", L"res\\mainWnd\\anim\\002.png"}));
  EXPECT_EQ(report.problems.size(), 4u);  // missing1.png is named twice but reported once
  EXPECT_FALSE(report.Ok());
}

TEST(SkinCheck, MalformedLayoutIsReportedWithTheParserMessage) {
  SevenZipArchive archive;
  ASSERT_TRUE(archive.OpenFile(UiTest::FixturePath(L"skin_broken.7z")));
  const SkinCheckReport report = CheckSkinArchive(archive);
  EXPECT_EQ(report.layouts.size(), 2u);
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_EQ(report.problems[0].kind, L"malformed layout");
  EXPECT_EQ(report.problems[0].layout, L"mainWnd.xml");
  EXPECT_EQ(report.problems[0].detail.rfind(L"Expected attribute value", 0), 0u);
}

// The product skin: every layout parses and only the three images the skin is known
// to lack are missing.
TEST(SkinCheck, ProductSkinLacksOnlyTheThreeKnownImages) {
  const std::wstring path = UiTest::SkinArchivePath();
  ASSERT_FALSE(path.empty()) << "PARLINO_SKIN_ARCHIVE is not set";
  SevenZipArchive archive;
  ASSERT_TRUE(archive.OpenFile(path));
  EXPECT_FALSE(archive.IsIncomplete());
  const SkinCheckReport report = CheckSkinArchive(archive);
  std::set<std::wstring> layouts;
  for (const auto& layout : report.layouts) {
    std::wstring lower = layout;
    for (auto& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    layouts.insert(lower);
  }
  EXPECT_EQ(layouts, (std::set<std::wstring>{L"mainwnd.xml", L"exittipwnd.xml", L"installedpathtipwnd.xml",
                                             L"messagebox1wnd.xml", L"messagebox2wnd.xml", L"networktipwnd.xml"}));
  EXPECT_TRUE(Details(report, L"malformed layout").empty());
  std::set<std::wstring> missing;
  for (const auto& name : Details(report, L"missing image")) {
    const size_t slash = name.find_last_of(L"\\/");
    missing.insert(slash == std::wstring::npos ? name : name.substr(slash + 1));
  }
  EXPECT_EQ(missing, (std::set<std::wstring>{L"minbtn4.png", L"closebtn4.png", L"closebtnM_4.png"}));
  EXPECT_EQ(Details(report, L"bad frame pattern").size(), 0u);
  EXPECT_GT(report.imageReferences, 75);  // the animation frames alone
}

}  // namespace
