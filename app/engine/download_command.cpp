// parlino-engine download [--type N] URL FILE: one downloader run to the end the way
// the orchestration runs it, every status printed as "code value text" as it arrives.
#include <condition_variable>
#include <cstdio>
#include <cwchar>
#include <mutex>

#include "app/engine/commands.h"
#include "app/installer_config.h"
#include "download/downloader_factory.h"
#include "utils/debug_log.h"
#include "utils/text.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fputs("usage: parlino-engine download [--type N] URL FILE\n", stderr);
  return kExitUsage;
}

bool IsTerminal(int32_t code) { return code == DL_CODE_SUCCESS || code == DL_CODE_FAIL; }

}  // namespace

int RunDownloadCommand(const EngineArgs& args) {
  int32_t type = GetInstallerConfig().m_DownloadType;
  std::vector<std::wstring> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--type") {
      if (i + 1 >= args.size()) return Usage();
      type = ConfigTextToInt(args[++i]);
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) return Usage();

  std::mutex lock;
  std::condition_variable changed;
  int32_t lastCode = 0;
  bool finished = false;
  // Statuses may come from two part threads at once: one line at a time.
  auto onStatus = [&](int32_t code, double value, const wchar_t* text) {
    std::lock_guard<std::mutex> guard(lock);
    std::printf("%d %g %s\n", code, value, Utils::WideToUtf8(text ? text : L"").c_str());
    std::fflush(stdout);
    lastCode = code;
    if (IsTerminal(code)) {
      finished = true;
      changed.notify_all();
    }
  };
  DebugLog(L"DL_TYPE=%d\r\n", type);
  std::unique_ptr<CDownloader> downloader;
  StatusCallback callback = [&](int32_t code, double value, const wchar_t* text) {
    onStatus(code, value, text);
    // As the orchestration does: the retry starts from the status itself.
    if (code == DL_CODE_RETRY) downloader->Start();
  };
  downloader = CreateDownloader(type, callback, positional[0], positional[1]);
  downloader->Start();
  {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [&] { return finished; });
  }
  downloader.reset();
  return lastCode == DL_CODE_SUCCESS ? kExitSuccess : kExitFailure;
}
