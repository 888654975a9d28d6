// The command lines both runners give their child, character for character, and how
// the POSIX stand-in splits a command line into arguments.
#include <gtest/gtest.h>

#include "app/installer_config.h"
#include "runner/command_line.h"
#include "runner/installer.h"
#include "runner/uninstaller.h"
#include "utils/text.h"

namespace {

struct InstallerLineCase {
  const char* name;
  std::wstring installDir;
  std::wstring language;
  std::wstring instCmd;
  bool desktop, quickLaunch, adminAccount, elevated;
  std::wstring expected;  // after the quoted package path
};

TEST(InstallerCommandLine, IsBuiltCharacterForCharacter) {
  const InstallerLineCase cases[] = {
      {"every item", L"C:\\Program Files\\Parlino", L"zh-CN", L"-x=1", true, false, true, true,
       L" /S -console=show -version=1.0.0 -adminact=true -authorizationact=true -dsc=true -ssc=false"
       L" -inslang=\"zh-CN\" -x=1 -instdir=\"C:\\Program Files\\Parlino\" /D=C:\\Program Files\\Parlino"},
      {"no directory, language or extra switches", L"", L"", L"", false, true, false, false,
       L" /S -console=show -version=1.0.0 -adminact=false -authorizationact=false -dsc=false -ssc=true"},
      {"directory only", L"D:\\Apps\\Parlino", L"", L"", true, true, false, true,
       L" /S -console=show -version=1.0.0 -adminact=false -authorizationact=true -dsc=true -ssc=true"
       L" -instdir=\"D:\\Apps\\Parlino\" /D=D:\\Apps\\Parlino"},
  };
  for (const InstallerLineCase& row : cases) {
    SCOPED_TRACE(row.name);
    GetInstallerConfig().m_InstCmd = row.instCmd;
    CInstaller installer(nullptr, L"\"D:\\Apps\\Parlino\\__Package_Parlino.exe\"", row.installDir, row.desktop,
                         row.quickLaunch, row.adminAccount);
    installer.SetElevated(row.elevated);
    installer.SetInstallLanguage(row.language);
    EXPECT_EQ(Utils::WideToUtf8(installer.BuildCommandLine()),
              Utils::WideToUtf8(L"\"D:\\Apps\\Parlino\\__Package_Parlino.exe\"" + row.expected));
  }
  GetInstallerConfig().m_InstCmd.clear();
}

TEST(InstallerCommandLine, ElevatedIsOnUntilSet) {
  CInstaller installer(nullptr, L"\"p.exe\"", L"", false, false, false);
  EXPECT_NE(installer.BuildCommandLine().find(L" -authorizationact=true "), std::wstring::npos);
}

TEST(UninstallerCommandLine, IsBuiltCharacterForCharacter) {
  struct Case {
    const char* name;
    std::wstring path, dir;
    bool adminAccount, elevated;
    std::wstring expected;
  } cases[] = {
      {"administrator, elevated", L"C:\\Tmp\\u.exe", L"C:\\Old", true, true,
       L"C:\\Tmp\\u.exe /S -adminact=true -authorizationact=true -console=show _?=C:\\Old"},
      {"neither", L"C:\\Tmp\\u.exe", L"C:\\Old", false, false,
       L"C:\\Tmp\\u.exe /S -adminact=false -authorizationact=false -console=show _?=C:\\Old"},
      // A blank in the path would split it; the directory stays unquoted, last.
      {"blanks", L"C:\\Temp Dir\\u.exe", L"C:\\Program Files\\Old", true, false,
       L"\"C:\\Temp Dir\\u.exe\" /S -adminact=true -authorizationact=false -console=show _?=C:\\Program Files\\Old"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    CUnInstaller uninstaller(nullptr, row.path, row.dir);
    EXPECT_EQ(Utils::WideToUtf8(uninstaller.BuildCommandLine(row.adminAccount, row.elevated)),
              Utils::WideToUtf8(row.expected));
  }
}

TEST(SplitCommandLine, FollowsTheWindowsRules) {
  struct Case {
    const char* name;
    std::wstring line;
    std::vector<std::wstring> args;
  } cases[] = {
      {"quoted program with blanks", L"\"C:\\A B\\p.exe\" /S -x=1", {L"C:\\A B\\p.exe", L"/S", L"-x=1"}},
      {"quoted value inside an argument", L"p -instdir=\"C:\\Program Files\\P\" /D=C:\\Program Files\\P",
       {L"p", L"-instdir=C:\\Program Files\\P", L"/D=C:\\Program", L"Files\\P"}},
      {"backslashes before a quote", L"p a\\\\\"b c\" d\\\"e", {L"p", L"a\\b c", L"d\"e"}},
      {"doubled quote inside quotes", L"p \"a\"\"b\"", {L"p", L"a\"b"}},
      {"blank runs and empty quotes", L"  p   \"\"  x ", {L"p", L"", L"x"}},
      {"empty", L"   ", {}},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SplitCommandLine(row.line), row.args);
  }
}

}  // namespace
