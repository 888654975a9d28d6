#include "analytics/tracker/system_info.h"

namespace vexlo::analytics {

namespace {
constexpr uint32_t kFirstWindows11Build = 22000;
}

std::string OsVersionText(const NtVersion& v, bool is64Bit, bool serverR2) {
  if (!v.readable || v.major <= 4) return "XP-";
  if (v.major == 5) {
    switch (v.minor) {
      case 0: return "2K";
      case 1: return "XP";
      case 2: return is64Bit ? "XP64" : serverR2 ? "Server 2003 R2" : "Server 2003";
      default: return "XP+";
    }
  }
  if (v.major == 6) {
    switch (v.minor) {
      case 0: return is64Bit ? "Vista64" : "Vista";
      case 1: return is64Bit ? "7" : "7-32";
      case 2: return is64Bit ? "8" : "8-32";
      case 3: return "8.1";
      default: return "8.1+";
    }
  }
  if (v.major == 10) {
    if (v.minor == 0) return v.build < kFirstWindows11Build ? "10" : "11";
    return "11+";
  }
  return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build);
}

std::string OsName() { return "Windows"; }

std::string OsNameAndVersion() { return OsVersionText(ReadNtVersion(), Is64BitWindows(), IsServer2003R2()); }

std::string UserAgentText(const std::string& name, const std::string& version, bool is64Bit) {
  return "Mozilla/5.0(" + name + " " + version + "; Win" + (is64Bit ? "64;)" : "32;)");
}

}  // namespace vexlo::analytics
