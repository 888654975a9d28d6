// POSIX stand-ins: no Windows version to read, locale from the environment, a GUID
// from the kernel's random source, data under the XDG data folder.
#include <fstream>

#include "analytics/tracker/system_info.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace vexlo::analytics {

NtVersion ReadNtVersion() { return {}; }

bool Is64BitWindows() { return Utils::IsSystem64Bit(); }

bool IsServer2003R2() { return false; }

bool SystemLocale(std::string& language, std::string& country) {
  std::string locale;
  for (const wchar_t* name : {L"LC_ALL", L"LC_MESSAGES", L"LANG"}) {
    auto value = Utils::GetEnv(name);
    if (value && !value->empty()) {
      locale = Utils::WideToUtf8(*value);
      break;
    }
  }
  locale = locale.substr(0, locale.find_first_of(".@"));
  const size_t underscore = locale.find('_');
  if (underscore == std::string::npos || underscore == 0 || underscore + 1 >= locale.size()) return false;
  language = locale.substr(0, underscore);
  country = locale.substr(underscore + 1);
  return true;
}

void PrimaryScreenSize(int& width, int& height) {
  width = 0;
  height = 0;
}

std::string UserDataBaseFolder() {
  if (auto xdg = Utils::GetEnv(L"XDG_DATA_HOME"); xdg && !xdg->empty()) return Utils::WideToUtf8(*xdg);
  if (auto home = Utils::GetEnv(L"HOME"); home && !home->empty()) return Utils::WideToUtf8(*home) + "/.local/share";
  return "/tmp";
}

bool SystemGuid(uint32_t& data1, uint16_t& data2, uint16_t& data3, uint8_t data4[8]) {
  std::ifstream random("/dev/urandom", std::ios::binary);
  unsigned char bytes[16];
  if (!random.read(reinterpret_cast<char*>(bytes), sizeof bytes)) return false;
  data1 = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
  data2 = uint16_t(bytes[4] << 8 | bytes[5]);
  data3 = uint16_t(((bytes[6] << 8 | bytes[7]) & 0x0FFF) | 0x4000);
  for (int i = 0; i < 8; ++i) data4[i] = bytes[8 + i];
  data4[0] = uint8_t((data4[0] & 0x3F) | 0x80);
  return true;
}

std::string ExecutablePath() { return Utils::WideToUtf8(Utils::GetModulePath()); }

}  // namespace vexlo::analytics
