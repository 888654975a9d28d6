// parlino-skin: looks into a skin archive.
//   parlino-skin list ARCHIVE    one line per entry: path, tab, size in bytes
//   parlino-skin check ARCHIVE   parses every layout and resolves every image name;
//                                prints each problem, exits 1 when there is one
// Exit codes: 0 fine, 1 problems found, 2 usage error or unreadable archive.
#include <cstdio>
#include <string>

#include "ui/seven_zip_archive.h"
#include "ui/skin_check.h"
#include "ui/text_decoding.h"
#include "utils/unicode.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;

std::wstring Widen(const char* text) {
  const std::string s(text);
  return SkinUI::Utf8ToWideLenient(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

void Print(const std::wstring& line) { std::printf("%s\n", Utils::Unicode::EncodeUtf8(line.data(), line.size()).c_str()); }

int Usage() {
  std::fprintf(stderr, "usage: parlino-skin list ARCHIVE\n       parlino-skin check ARCHIVE\n");
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const std::string command = argv[1];
  if (command != "list" && command != "check") return Usage();

  SkinUI::SevenZipArchive archive;
  if (!archive.OpenFile(Widen(argv[2]))) {
    std::fprintf(stderr, "parlino-skin: cannot open archive '%s'\n", argv[2]);
    return kExitUsage;
  }
  if (archive.IsIncomplete()) std::fprintf(stderr, "parlino-skin: archive '%s' is damaged; not every entry could be unpacked\n", argv[2]);

  if (command == "list") {
    for (const auto& entry : archive.Entries()) Print(entry.path + L"\t" + std::to_wstring(entry.bytes.size()));
    return archive.IsIncomplete() ? kExitProblems : kExitOk;
  }

  const SkinUI::SkinCheckReport report = SkinUI::CheckSkinArchive(archive);
  for (const auto& problem : report.problems) Print(problem.kind + L": " + problem.layout + L": " + problem.detail);
  Print(L"checked " + std::to_wstring(report.layouts.size()) + L" layouts, " +
        std::to_wstring(report.imageReferences) + L" names; " + std::to_wstring(report.problems.size()) +
        L" problems");
  return report.Ok() && !archive.IsIncomplete() && !report.layouts.empty() ? kExitOk : kExitProblems;
}
