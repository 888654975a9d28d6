#include "app/installer_config.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr size_t kIniValueLimit = 259;
const wchar_t* const kProgram = L"C:\\Downloads\\ParlinoSetup.exe";

std::wstring RunningVersionName() {
  std::wstring family;
  std::wstring version;
  Utils::GetWindowsVersionName(family, version);
  return version;
}

// Compares every field, so a row also proves that nothing else moved.
void ExpectSameConfig(const InstallerConfig& actual, const InstallerConfig& expected) {
  EXPECT_EQ(actual.m_AppName, expected.m_AppName);
  EXPECT_EQ(actual.m_AppVersion, expected.m_AppVersion);
  EXPECT_EQ(actual.m_ExeName, expected.m_ExeName);
  EXPECT_EQ(actual.m_DlAppNameSuffix, expected.m_DlAppNameSuffix);
  EXPECT_EQ(actual.m_DlAppVersion, expected.m_DlAppVersion);
  EXPECT_EQ(actual.m_InstCmd, expected.m_InstCmd);
  EXPECT_EQ(actual.m_DownloadUrl, expected.m_DownloadUrl);
  EXPECT_EQ(actual.m_DownloadType, expected.m_DownloadType);
  EXPECT_EQ(actual.m_IsCheckNet, expected.m_IsCheckNet);
  EXPECT_EQ(actual.m_IsEnableAnalytics, expected.m_IsEnableAnalytics);
  if (std::isnan(expected.m_DownloadScale)) {
    EXPECT_TRUE(std::isnan(actual.m_DownloadScale)) << actual.m_DownloadScale;
  } else {
    EXPECT_EQ(actual.m_DownloadScale, expected.m_DownloadScale);
  }
  EXPECT_EQ(actual.m_IsCurlReady, expected.m_IsCurlReady);
  EXPECT_EQ(actual.m_AbGroup, expected.m_AbGroup);
  EXPECT_EQ(actual.m_Language, expected.m_Language);
  EXPECT_EQ(actual.m_IsInsNew, expected.m_IsInsNew);
}

void WriteText(const std::wstring& path, const std::string& text) {
  ASSERT_TRUE(Utils::WriteWholeFile(path, text)) << Utils::WideToUtf8(path);
}

TEST(InstallerConfigTest, StaticDefaults) {
  const InstallerConfig config;
  EXPECT_EQ(config.m_AppName, L"Parlino");
  EXPECT_EQ(config.m_AppVersion, L"1.7.9");
  EXPECT_EQ(config.m_ExeName, L"NULL");
  EXPECT_EQ(config.m_DlAppNameSuffix, L".downloader");
  EXPECT_EQ(config.m_DlAppVersion, L"");
  EXPECT_EQ(config.m_InstCmd, L"");
  EXPECT_EQ(config.m_DownloadUrl, L"http://dl.parlino.vexlo.com/software/390");
  EXPECT_EQ(config.m_DownloadType, 1);
  EXPECT_FALSE(config.m_IsCheckNet);
  EXPECT_TRUE(config.m_IsEnableAnalytics);
  EXPECT_EQ(config.m_DownloadScale, 0.7);
  EXPECT_TRUE(config.m_IsCurlReady);
  EXPECT_EQ(config.m_AbGroup, L"IN");
  EXPECT_EQ(config.m_Language, -1);
  EXPECT_FALSE(config.m_IsInsNew);
}

TEST(InstallerConfigTest, ApplyRouteByVersionName) {
  const std::wstring twice = L"http://h/${ROUTE}/a/${ROUTE}.exe";
  struct Row {
    const char* name;
    std::wstring url;
    std::wstring version;
    std::wstring expected;
  } const rows[] = {
      {"Windows 7", twice, L"7", L"http://h/download_silent/a/download_silent.exe"},
      {"Windows 10", twice, L"10", L"http://h/download_silent/a/download_silent.exe"},
      {"XP", twice, L"XP", L"http://h/download_silent_xp/a/download_silent_xp.exe"},
      {"older than XP", twice, L"XP-", L"http://h/download_silent_xp/a/download_silent_xp.exe"},
      {"newer XP", twice, L"XP+", L"http://h/download_silent_xp/a/download_silent_xp.exe"},
      {"Server 2003 is not XP", twice, L"Server 2003 R2", L"http://h/download_silent/a/download_silent.exe"},
      {"numeric name", twice, L"12.1.5", L"http://h/download_silent/a/download_silent.exe"},
      {"adjacent tokens", L"${ROUTE}${ROUTE}", L"7", L"download_silentdownload_silent"},
      {"no token", L"http://h/x?r=$ROUTE", L"XP", L"http://h/x?r=$ROUTE"},
      {"empty", L"", L"XP", L""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(InstallerConfig::ApplyRoute(row.url, row.version), row.expected);
  }
}

TEST(InstallerConfigTest, SetDownloadUrlRoutesForTheRunningSystem) {
  InstallerConfig config;
  config.SetDownloadUrl(L"http://h/${ROUTE}/${ROUTE}");
  EXPECT_EQ(config.m_DownloadUrl, InstallerConfig::ApplyRoute(L"http://h/${ROUTE}/${ROUTE}", RunningVersionName()));
  EXPECT_EQ(config.m_DownloadUrl.find(L"${ROUTE}"), std::wstring::npos);
}

TEST(InstallerConfigTest, LoadInstallerIni) {
  struct Row {
    const char* name;
    const char* ini;  // nullptr: no file at all
    std::function<void(InstallerConfig&)> expect;
  } const rows[] = {
      {"no file", nullptr, [](InstallerConfig&) {}},
      {"section header only", "[Install]\r\n", [](InstallerConfig& c) { c.m_IsCheckNet = true; }},
      {"empty file", "", [](InstallerConfig& c) { c.m_IsCheckNet = true; }},
      {"keys in another section", "[Other]\nDownloadType=3\nIsCheckNet=false\n",
       [](InstallerConfig& c) { c.m_IsCheckNet = true; }},
      {"every key",
       "[Install]\n"
       "DownloadUrl=http://127.0.0.1:8080/p?a=1&b=2\n"
       "DownloadType=3\n"
       "IsCheckNet=false\n"
       "IsEnableAnalytics=false\n"
       "DlAppNameSuffix=.dl\n"
       "m_DlAppVersion=2.0.1\n"
       "DownloadScale=0.25\n"
       "InstCmd=-quick /D=C:\\Apps\n"
       "Language=7\n"
       "AbGroup=XY\n",
       [](InstallerConfig& c) {
         c.m_DownloadUrl = L"http://127.0.0.1:8080/p?a=1&b=2";
         c.m_DownloadType = 3;
         c.m_IsEnableAnalytics = false;
         c.m_DlAppNameSuffix = L".dl";
         c.m_DlAppVersion = L"2.0.1";
         c.m_DownloadScale = 0.25;
         c.m_InstCmd = L"-quick /D=C:\\Apps";
       }},
      {"booleans are exactly true", "[Install]\nIsCheckNet=TRUE\nIsEnableAnalytics=1\n",
       [](InstallerConfig& c) { c.m_IsEnableAnalytics = false; }},
      {"empty texts stay empty", "[Install]\nDlAppNameSuffix=\nDownloadUrl=\n",
       [](InstallerConfig& c) {
         c.m_IsCheckNet = true;
         c.m_DlAppNameSuffix = L"";
         c.m_DownloadUrl = L"";
       }},
      {"numeric prefixes", "[Install]\nDownloadType=3x\nDownloadScale=0.5abc\n",
       [](InstallerConfig& c) {
         c.m_IsCheckNet = true;
         c.m_DownloadType = 3;
         c.m_DownloadScale = 0.5;
       }},
      {"no numeric prefix", "[Install]\nDownloadType=abc\nDownloadScale=abc\n",
       [](InstallerConfig& c) {
         c.m_IsCheckNet = true;
         c.m_DownloadType = 0;
         c.m_DownloadScale = 0.0;
       }},
      {"empty numbers", "[Install]\nDownloadType=\nDownloadScale=\n",
       [](InstallerConfig& c) {
         c.m_IsCheckNet = true;
         c.m_DownloadScale = 0.0;
       }},
      {"numbers out of range", "[Install]\nDownloadType=99999999999\nDownloadScale=1e999\n",
       [](InstallerConfig& c) {
         c.m_IsCheckNet = true;
         c.m_DownloadType = kIntMax;
         c.m_DownloadScale = 0.0;
       }},
      {"negative numbers out of range", "[Install]\nDownloadType=-99999999999\nDownloadScale=-1e999\n",
       [](InstallerConfig& c) {
         c.m_IsCheckNet = true;
         c.m_DownloadType = kIntMin;
         c.m_DownloadScale = 0.0;
       }},
      {"route in the URL", "[Install]\nDownloadUrl=http://h/${ROUTE}/${ROUTE}.exe\n",
       [](InstallerConfig& c) {
         c.m_IsCheckNet = true;
         c.m_DownloadUrl = InstallerConfig::ApplyRoute(L"http://h/${ROUTE}/${ROUTE}.exe", RunningVersionName());
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TestSupport::TempDir dir;
    if (row.ini) WriteText(dir.File(L"VexloInstallerConfig.ini"), row.ini);
    InstallerConfig config;
    config.m_AppName = L"changed";
    config.m_AppVersion = L"changed";
    config.LoadInstallerIni(dir.File(L"ParlinoSetup.exe"));

    InstallerConfig expected;
    expected.m_ExeName = L"ParlinoSetup.exe";
    row.expect(expected);
    ExpectSameConfig(config, expected);
  }
}

TEST(InstallerConfigTest, LoadInstallerIniCutsLongValues) {
  TestSupport::TempDir dir;
  const std::string longText(300, 'u');
  WriteText(dir.File(L"VexloInstallerConfig.ini"),
            "[Install]\nDownloadUrl=http://h/" + longText + "\nInstCmd=" + longText + "\n");
  InstallerConfig config;
  config.LoadInstallerIni(dir.File(L"ParlinoSetup.exe"));
  EXPECT_EQ(config.m_DownloadUrl, (L"http://h/" + std::wstring(300, L'u')).substr(0, kIniValueLimit));
  EXPECT_EQ(config.m_InstCmd, std::wstring(kIniValueLimit, L'u'));
}

TEST(InstallerConfigTest, ParseCommandLine) {
  const std::wstring twice = L"-downloadurl=http://h/${ROUTE}/x/${ROUTE}";
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    const char* name;
    std::vector<std::wstring> switches;  // after the program path
    std::function<void(InstallerConfig&)> expect;
  } const rows[] = {
      {"no switches", {}, [](InstallerConfig&) {}},
      {"every switch",
       {L"-downloadurl=http://127.0.0.1:81/pkg", L"-downloadtype=2", L"-downloadscale=0.4", L"-ischecknet=true",
        L"-isenableanalytics=false", L"-dlappnamesuffix=.d", L"-dlappversion=3.1", L"-instcmd=/S /D=C:\\A",
        L"-language=2052", L"-insnew=true"},
       [](InstallerConfig& c) {
         c.m_DownloadUrl = L"http://127.0.0.1:81/pkg";
         c.m_DownloadType = 2;
         c.m_DownloadScale = 0.4;
         c.m_IsCheckNet = true;
         c.m_IsEnableAnalytics = false;
         c.m_DlAppNameSuffix = L".d";
         c.m_DlAppVersion = L"3.1";
         c.m_InstCmd = L"/S /D=C:\\A";
         c.m_Language = 2052;
         c.m_IsInsNew = true;
       }},
      {"route replaced twice", {twice},
       [&twice](InstallerConfig& c) {
         c.m_DownloadUrl = InstallerConfig::ApplyRoute(twice.substr(13), RunningVersionName());
       }},
      {"booleans are exactly true", {L"-ischecknet=TRUE", L"-isenableanalytics=1", L"-insnew=yes"},
       [](InstallerConfig& c) { c.m_IsEnableAnalytics = false; }},
      {"integer without digits", {L"-downloadtype=abc", L"-language=+"},
       [](InstallerConfig& c) {
         c.m_DownloadType = 0;
         c.m_Language = 0;
       }},
      {"integer prefixes", {L"-downloadtype=3x", L"-language= \t-12.5"},
       [](InstallerConfig& c) {
         c.m_DownloadType = 3;
         c.m_Language = -12;
       }},
      {"integers clamped", {L"-downloadtype=2147483648", L"-language=-99999999999999999999999"},
       [](InstallerConfig& c) {
         c.m_DownloadType = kIntMax;
         c.m_Language = kIntMin;
       }},
      {"integer limits exact", {L"-downloadtype=-2147483648", L"-language=2147483647"},
       [](InstallerConfig& c) {
         c.m_DownloadType = kIntMin;
         c.m_Language = kIntMax;
       }},
      {"double without digits", {L"-downloadscale=abc"}, [nan](InstallerConfig& c) { c.m_DownloadScale = nan; }},
      {"double sign and point only", {L"-downloadscale=-."}, [nan](InstallerConfig& c) { c.m_DownloadScale = nan; }},
      {"double prefix", {L"-downloadscale= .5e1x"}, [](InstallerConfig& c) { c.m_DownloadScale = 5.0; }},
      {"dangling exponent", {L"-downloadscale=2.e"}, [](InstallerConfig& c) { c.m_DownloadScale = 2.0; }},
      {"double overflow", {L"-downloadscale=1e999"}, [nan](InstallerConfig& c) { c.m_DownloadScale = nan; }},
      {"double underflow", {L"-downloadscale=1e-999"}, [nan](InstallerConfig& c) { c.m_DownloadScale = nan; }},
      {"words are not numbers", {L"-downloadscale=inf"}, [nan](InstallerConfig& c) { c.m_DownloadScale = nan; }},
      {"switches without a value",
       {L"-downloadurl", L"-downloadtype", L"-downloadscale", L"-ischecknet", L"-isenableanalytics", L"-dlappnamesuffix",
        L"-instcmd", L"-language", L"-insnew"},
       [nan](InstallerConfig& c) {
         c.m_DownloadUrl = L"";
         c.m_DownloadType = 0;
         c.m_DownloadScale = nan;
         c.m_IsEnableAnalytics = false;
         c.m_DlAppNameSuffix = L"";
         c.m_Language = 0;
       }},
      {"first value wins", {L"-instcmd=/first", L"-instcmd=/second", L"-instcmd"},
       [](InstallerConfig& c) { c.m_InstCmd = L"/first"; }},
      {"keys are case-sensitive", {L"-InstCmd=/x", L"-DownloadType=3", L"--downloadtype=3"}, [](InstallerConfig&) {}},
      {"value keeps its equals signs", {L"-downloadurl=http://h/p?a=1&b==2"},
       [](InstallerConfig& c) { c.m_DownloadUrl = L"http://h/p?a=1&b==2"; }},
      {"no dash, no switch", {L"downloadtype=3", L"/downloadtype=3", L" -downloadtype=3"}, [](InstallerConfig&) {}},
      {"unknown switches ignored", {L"-foo=bar", L"-", L"-=x"}, [](InstallerConfig&) {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::wstring> args{kProgram};
    args.insert(args.end(), row.switches.begin(), row.switches.end());
    InstallerConfig config;
    config.ParseCommandLine(args);
    InstallerConfig expected;
    row.expect(expected);
    ExpectSameConfig(config, expected);
  }
}

TEST(InstallerConfigTest, SwitchesOverrideTheIniFile) {
  TestSupport::TempDir dir;
  WriteText(dir.File(L"VexloInstallerConfig.ini"),
            "[Install]\nDownloadType=3\nDownloadScale=abc\nIsCheckNet=true\nInstCmd=/ini\n");
  InstallerConfig config;
  config.LoadInstallerIni(dir.File(L"ParlinoSetup.exe"));
  EXPECT_EQ(config.m_DownloadScale, 0.0);
  config.ParseCommandLine({dir.File(L"ParlinoSetup.exe"), L"-downloadtype=2", L"-ischecknet=no"});
  EXPECT_EQ(config.m_DownloadType, 2);
  EXPECT_FALSE(config.m_IsCheckNet);
  EXPECT_EQ(config.m_InstCmd, L"/ini");
  EXPECT_EQ(config.m_DownloadScale, 0.0);
}

TEST(InstallerConfigTest, CommandLineMap) {
  struct Row {
    const char* name;
    std::vector<std::wstring> args;
    CommandLineMap expected;
  } const rows[] = {
      {"program path and switches",
       {L"C:\\a=b\\setup.exe", L"-x=1", L"-y", L"plain"},
       {{L"C:\\a=b\\setup.exe", L""}, {L"-x", L"1"}, {L"-y", L""}, {L"plain", L""}}},
      {"first value wins", {L"-k=1", L"-k=2", L"-k"}, {{L"-k", L"1"}}},
      {"bare key first wins too", {L"-k", L"-k=2"}, {{L"-k", L""}}},
      {"only the first equals splits", {L"-u=a=b=c"}, {{L"-u", L"a=b=c"}}},
      {"empty key and value", {L"-=", L"", L"="}, {{L"-", L""}, {L"", L""}, {L"=", L""}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(BuildCommandLineMap(row.args), row.expected);
  }
}

TEST(InstallerConfigTest, ProcessWideInstanceIsLoadedBesideTheExecutable) {
  const InstallerConfig& config = GetInstallerConfig();
  EXPECT_EQ(&config, &GetInstallerConfig());
  EXPECT_EQ(config.m_ExeName, Utils::FileNamePart(Utils::GetModulePath()));
  EXPECT_FALSE(ProcessCommandLineArgs().empty());
}

// --- the built engine, as a black box

struct ProcessResult {
  bool started = false;
  int exitCode = -1;
  std::string output;  // standard output, "\r\n" turned into "\n"
};

std::string NormaliseNewlines(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

#ifdef _WIN32
// Quotes one argument so that CommandLineToArgvW gives it back unchanged.
std::wstring QuoteArgument(const std::wstring& arg) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

ProcessResult RunProcess(const std::wstring& exe, const std::vector<std::wstring>& args) {
  ProcessResult result;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::wstring commandLine = QuoteArgument(exe);
  for (const std::wstring& arg : args) commandLine += L" " + QuoteArgument(arg);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  result.started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process) != FALSE;
  CloseHandle(writeEnd);
  if (result.started) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) result.output.append(buffer, got);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readEnd);
  result.output = NormaliseNewlines(result.output);
  return result;
}
#else
ProcessResult RunProcess(const std::wstring& exe, const std::vector<std::wstring>& args) {
  ProcessResult result;
  std::vector<std::string> narrow{Utils::WideToMultiByte(exe, Utils::kCodePageAnsi)};
  for (const std::wstring& arg : args) narrow.push_back(Utils::WideToMultiByte(arg, Utils::kCodePageAnsi));
  std::vector<char*> argv;
  for (std::string& arg : narrow) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int fds[2];
  if (pipe(fds) != 0) return result;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(fds[1]);
  if (pid > 0) {
    result.started = true;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(fds[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, static_cast<size_t>(got));
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  close(fds[0]);
  result.output = NormaliseNewlines(result.output);
  return result;
}
#endif

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* engine = std::getenv("PARLINO_ENGINE");
    ASSERT_NE(engine, nullptr) << "PARLINO_ENGINE is not set";
    const std::filesystem::path built(TestSupport::HostPath(engine));
    m_Engine = m_Dir.File(built.filename().wstring());
    std::error_code error;
    ASSERT_TRUE(std::filesystem::copy_file(built, m_Engine, error)) << error.message();
  }

  std::string ExeName() const { return Utils::WideToUtf8(Utils::FileNamePart(m_Engine)); }

  TestSupport::TempDir m_Dir;
  std::wstring m_Engine;
};

TEST_F(EngineTest, ConfigReadsTheIniBesideItAndAppliesSwitches) {
  WriteText(m_Dir.File(L"VexloInstallerConfig.ini"),
            "[Install]\n"
            "DownloadUrl=http://127.0.0.1:9/${ROUTE}/pkg\n"
            "DownloadType=3\n"
            "IsEnableAnalytics=TRUE\n"
            "DlAppNameSuffix=.ini\n"
            "m_DlAppVersion=4.5\n"
            "DownloadScale=0.55\n"
            "InstCmd=/from-ini\n");
  const ProcessResult run =
      RunProcess(m_Engine, {L"config", L"-downloadtype=2x", L"-instcmd=/D=C:\\P Q", L"-instcmd=/second",
                            L"-language=2052", L"-insnew=true", L"-downloadscale=abc", L"-InstCmd=/ignored"});
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, 0);
  const std::string url =
      Utils::WideToUtf8(InstallerConfig::ApplyRoute(L"http://127.0.0.1:9/${ROUTE}/pkg", RunningVersionName()));
  EXPECT_EQ(run.output,
            "m_AppName=Parlino\n"
            "m_AppVersion=1.7.9\n"
            "m_ExeName=" + ExeName() + "\n"
            "m_DlAppNameSuffix=.ini\n"
            "m_DlAppVersion=4.5\n"
            "m_InstCmd=/D=C:\\P Q\n"
            "m_DownloadUrl=" + url + "\n"
            "m_DownloadType=2\n"
            "m_IsCheckNet=true\n"
            "m_IsEnableAnalytics=false\n"
            "m_DownloadScale=nan\n"
            "m_IsCurlReady=true\n"
            "m_AbGroup=IN\n"
            "m_Language=2052\n"
            "m_IsInsNew=true\n");
}

TEST_F(EngineTest, ConfigWithoutIniShowsTheDefaultsAndUtf8) {
  const ProcessResult run = RunProcess(m_Engine, {L"config", L"-dlappversion=\u4F60\u597D"});
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output,
            "m_AppName=Parlino\n"
            "m_AppVersion=1.7.9\n"
            "m_ExeName=" + ExeName() + "\n"
            "m_DlAppNameSuffix=.downloader\n"
            "m_DlAppVersion=\xE4\xBD\xA0\xE5\xA5\xBD\n"
            "m_InstCmd=\n"
            "m_DownloadUrl=http://dl.parlino.vexlo.com/software/390\n"
            "m_DownloadType=1\n"
            "m_IsCheckNet=false\n"
            "m_IsEnableAnalytics=true\n"
            "m_DownloadScale=0.7\n"
            "m_IsCurlReady=true\n"
            "m_AbGroup=IN\n"
            "m_Language=-1\n"
            "m_IsInsNew=false\n");
}

TEST_F(EngineTest, DoctorPrintsEveryProbe) {
  const ProcessResult run = RunProcess(m_Engine, {L"doctor"});
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, 0);
  for (const char* key : {"windows_family=Windows\n", "windows_version=", "system_64bit=", "console_user=",
                          "admin_account=", "elevated=", "network=0x", "network_connectivity=", "network_verdict=",
                          "current_directory=", "free_bytes_available=", "installer_temp_dir=", "new_guid="}) {
    SCOPED_TRACE(key);
    EXPECT_NE(run.output.find(key), std::string::npos) << run.output;
  }
  EXPECT_EQ(RunProcess(m_Engine, {L"doctor", L"extra"}).exitCode, 2);
}

}  // namespace
