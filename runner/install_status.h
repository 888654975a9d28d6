#pragma once
// Status codes of the two package runners, sent through StatusCallback.
#include <cstdint>

// Install runner (CInstaller).
constexpr int32_t IST_CODE_START = 2001;
constexpr int32_t IST_CODE_PROGRESS = 2002;
constexpr int32_t INSTALL_SUCCESS = 2003;
constexpr int32_t IST_CODE_FAIL = 2004;
// Information reported by the package; there is no 3006.
constexpr int32_t IST_INFO_INSTPATH = 3000;
constexpr int32_t IST_INFO_EXEPATH = 3001;
constexpr int32_t IST_INFO_UNINSTEXE = 3002;
constexpr int32_t IST_INFO_UNINSTEP = 3003;
constexpr int32_t IST_INFO_STARTURL = 3004;
constexpr int32_t IST_INFO_STARTUPSTYLE = 3005;
constexpr int32_t IST_INFO_TOPSHOW = 3007;
constexpr int32_t IST_INFO_FINISHCLOSE = 3008;
constexpr int32_t IST_INFO_MESSAGE = 3009;

// Uninstall runner (CUnInstaller).
constexpr int32_t UNIST_CODE_START = 5001;
constexpr int32_t UNIST_CODE_PROGRESS = 5002;
constexpr int32_t UNIST_CODE_SUCCESS = 5003;
constexpr int32_t UNIST_CODE_FAIL = 5004;
constexpr int32_t UNIST_CODE_ERROR = 5005;

// Values of IST_CODE_FAIL / UNIST_CODE_FAIL / UNIST_CODE_ERROR.
constexpr double kFailValueStateLine = 0.0;     // "State=Fail"
constexpr double kFailValueMissingFile = 1.0;   // uninstaller copy missing
constexpr double kFailValueLaunch = 2.0;        // pipes or process could not be created
constexpr double kFailValueCrash = 3.0;         // the child ended abnormally (crash, killed)
constexpr double kFailValueErrorLine = 1000.0;  // "Error=" (install runner)

// Startup styles of "StartupStyle=".
constexpr int kStartupNone = 0;
constexpr int kStartupAuto = 1;
constexpr int kStartupUser = 2;
