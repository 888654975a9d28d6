// Install records: registry values, "set.ini", the analytics pointer, the "IsOverride"
// rule, and the default install directory built from them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cwctype>
#include <optional>

#include "app/install_dir.h"
#include "app/install_records.h"
#include "app/shell_paths.h"
#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace {

using TestSupport::SetEnvVar;

// Points APPDATA and the POSIX registry into a fresh directory for one test.
class RecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_SavedAppData = Utils::GetEnv(L"APPDATA");
    m_SavedConfig = Utils::GetEnv(L"XDG_CONFIG_HOME");
    SetEnvVar("APPDATA", m_Dir.File(L"AppData"));
    SetEnvVar("XDG_CONFIG_HOME", m_Dir.File(L"config"));
    // The Windows registry is the prefix's own: start from empty values there.
    Utils::RegSetString(InstallRecords::kRegistryKey, InstallRecords::kInstallPathValue, L"");
    Utils::RegSetString(InstallRecords::kRegistryKey, InstallRecords::kUninstallEpValue, L"");
  }
  void TearDown() override {
    SetEnvVar("APPDATA", m_SavedAppData);
    SetEnvVar("XDG_CONFIG_HOME", m_SavedConfig);
  }
  std::wstring InstallDir(const wchar_t* name) {
    const std::wstring dir = m_Dir.File(name);
    Utils::CreateDirectoryTree(dir);
    return dir;
  }
  std::wstring Setting(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
    return Utils::GetProfileString(file, section, key, L"<missing>");
  }

  TestSupport::TempDir m_Dir;
  std::optional<std::wstring> m_SavedAppData, m_SavedConfig;
};

TEST_F(RecordsTest, RegistryValuesAreReadBackByTheNextRun) {
  const std::wstring dir = InstallDir(L"Parlino");
  const std::wstring uninstaller = Utils::JoinPath(dir, L"uninst.ep");
  ASSERT_TRUE(Utils::WriteWholeFile(uninstaller, "x"));
  std::wstring uninstEp;  // the package reported none: the default name is used
  InstallRecords::WriteRegistryValues(dir, uninstEp);
  EXPECT_EQ(uninstEp, uninstaller);

  std::wstring oldDir = L"stale", oldUninstEp = L"stale";
  InstallRecords::ReadInstallRecords(oldDir, oldUninstEp);
  EXPECT_EQ(oldDir, dir);
  EXPECT_EQ(oldUninstEp, uninstaller);
}

TEST_F(RecordsTest, UninstallerValueIsWrittenOnlyForAnExistingFile) {
  const std::wstring dir = InstallDir(L"Parlino");
  std::wstring uninstEp = Utils::JoinPath(dir, L"gone.exe");
  InstallRecords::WriteRegistryValues(dir, uninstEp);
  std::wstring value;
  Utils::RegGetString(InstallRecords::kRegistryKey, InstallRecords::kUninstallEpValue, value);
  EXPECT_EQ(value, L"");
  // Read back, the uninstaller falls back to the directory's "uninst.ep".
  std::wstring oldDir, oldUninstEp;
  InstallRecords::ReadInstallRecords(oldDir, oldUninstEp);
  EXPECT_EQ(oldDir, dir);
  EXPECT_EQ(oldUninstEp, dir + Utils::kPathSeparator + L"uninst.ep");
}

TEST_F(RecordsTest, NoRecordsMeansNoOldInstallation) {
  std::wstring oldDir = L"stale", oldUninstEp = L"stale";
  InstallRecords::ReadInstallRecords(oldDir, oldUninstEp);
  EXPECT_EQ(oldDir, L"");
  EXPECT_EQ(oldUninstEp, L"");
}

TEST_F(RecordsTest, SettingsFileAndAnalyticsPointer) {
  const std::wstring dir = InstallDir(L"Parlino");
  InstallRecords::WriteInstallRecords(dir);
  const std::wstring settings = Utils::JoinPath(dir, L"set.ini");
  EXPECT_EQ(Setting(settings, L"Install", L"APPStore"), Utils::FileNamePart(Utils::GetModulePath()));
  EXPECT_EQ(Setting(settings, L"Install", L"AppName"), L"Parlino");
  const std::wstring firstId = Setting(settings, L"Install", L"DeviceID");
  ASSERT_EQ(firstId.size(), 32u);
  for (wchar_t c : firstId) EXPECT_TRUE(std::iswxdigit(c)) << Utils::WideToUtf8(firstId);

  const std::wstring dataDir = Utils::JoinPath(Utils::JoinPath(m_Dir.File(L"AppData"), L"VexloData"), L"Parlino");
  const std::wstring analyticsIni = dataDir + Utils::kPathSeparator + L"VXAnalytics.ini";
  EXPECT_EQ(Setting(settings, L"Install", L"VXAnalyticsIni"), analyticsIni);
  const std::wstring time = Setting(analyticsIni, L"Init", L"UpdateTime");
  ASSERT_EQ(time.size(), 19u) << Utils::WideToUtf8(time);  // 2026-12-10 20:30:53
  EXPECT_EQ(time[4], L'-');
  EXPECT_EQ(time[10], L' ');
  EXPECT_EQ(time[13], L':');

  // Written again (after the install succeeded): a new device id.
  InstallRecords::WriteInstallRecords(dir);
  EXPECT_NE(Setting(settings, L"Install", L"DeviceID"), firstId);
}

TEST_F(RecordsTest, NoAnalyticsPointerWhenItsDirectoryCannotBeMade) {
  // APPDATA names a file: nothing can be created below it.
  ASSERT_TRUE(Utils::WriteWholeFile(m_Dir.File(L"AppData"), "not a folder"));
  const std::wstring dir = InstallDir(L"Parlino");
  InstallRecords::WriteInstallRecords(dir);
  const std::wstring settings = Utils::JoinPath(dir, L"set.ini");
  EXPECT_EQ(Setting(settings, L"Install", L"AppName"), L"Parlino");
  EXPECT_EQ(Setting(settings, L"Install", L"VXAnalyticsIni"), L"<missing>");
}

TEST_F(RecordsTest, IsOverrideKeepsTheOldVersionOnlyInItsOwnDirectory) {
  const std::wstring oldDir = InstallDir(L"Old");
  const std::wstring otherDir = InstallDir(L"Other");
  const struct {
    const char* name;
    std::wstring dir;
    const wchar_t* isOverride;  // nullptr: no set.ini entry
    bool keeps;
  } cases[] = {
      {"own directory, IsOverride=false", oldDir, L"false", true},
      {"own directory, IsOverride=true", oldDir, L"true", false},
      {"own directory, other text", oldDir, L"FALSE", false},
      {"own directory, no entry", oldDir, nullptr, false},
      {"another directory, IsOverride=false", otherDir, L"false", false},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    Utils::DeleteFilePath(Utils::JoinPath(oldDir, L"set.ini"));
    Utils::DeleteFilePath(Utils::JoinPath(otherDir, L"set.ini"));
    if (row.isOverride) {
      Utils::WriteProfileString(Utils::JoinPath(row.dir, L"set.ini"), L"Uninstall", L"IsOverride", row.isOverride);
    }
    EXPECT_EQ(InstallRecords::KeepsOldVersion(oldDir, row.dir), row.keeps);
  }
}

TEST_F(RecordsTest, DefaultInstallDirectory) {
  const std::wstring oldDir = InstallDir(L"Old");
  const std::wstring oldUninstaller = Utils::JoinPath(oldDir, L"uninst.ep");
  ASSERT_TRUE(Utils::WriteWholeFile(oldUninstaller, "x"));
  const std::wstring programFiles = Utils::JoinPath(SpecialFolderPath(kFolderProgramFilesX86), L"Parlino");
  const std::wstring appData = Utils::JoinPath(Utils::JoinPath(m_Dir.File(L"AppData"), L"Ostrel"), L"Parlino");
  const struct {
    const char* name;
    std::wstring oldDir, oldUninstEp;
    bool adminAccount, elevated;
    std::wstring expected;
  } cases[] = {
      {"old installation with its uninstaller", oldDir, oldUninstaller, false, false, oldDir},
      {"old installation without it", oldDir, Utils::JoinPath(oldDir, L"gone.ep"), false, false, programFiles},
      {"administrator, elevated", L"", L"", true, true, appData},
      {"administrator, not elevated", L"", L"", true, false, programFiles},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DefaultInstallDir(row.oldDir, row.oldUninstEp, row.adminAccount, row.elevated), row.expected);
  }
}

}  // namespace
