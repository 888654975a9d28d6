#pragma once
// Facts about the system that the tracker reports or needs for its files. The pure
// text rules are shared; the probes live in win32/ and posix/.
#include <cstdint>
#include <string>

namespace vexlo::analytics {

// --- platform probes
struct NtVersion {
  bool readable = false;
  uint32_t major = 0, minor = 0, build = 0;  // build: low 16 bits
};
NtVersion ReadNtVersion();
bool Is64BitWindows();
bool IsServer2003R2();
// ISO 639 language and ISO 3166 country of the user's default locale; false when
// either cannot be read.
bool SystemLocale(std::string& language, std::string& country);
void PrimaryScreenSize(int& width, int& height);
// Local application data folder (the shared documents folder before Windows 7 or
// when the version is unknown), short form, UTF-8, without a trailing separator;
// on POSIX $XDG_DATA_HOME or ~/.local/share.
std::string UserDataBaseFolder();
// 16 bytes from the system's GUID generator; false on failure.
bool SystemGuid(uint32_t& data1, uint16_t& data2, uint16_t& data3, uint8_t data4[8]);
// Full path of the running executable, UTF-8.
std::string ExecutablePath();

// --- shared rules
// Version text for the numbers ("10", "7-32", "XP-", ...).
std::string OsVersionText(const NtVersion& version, bool is64Bit, bool serverR2);
std::string OsName();  // "Windows"
std::string OsNameAndVersion();
// "Mozilla/5.0(<name> <version>; Win64;)" or "...; Win32;)".
std::string UserAgentText(const std::string& name, const std::string& version, bool is64Bit);

}  // namespace vexlo::analytics
