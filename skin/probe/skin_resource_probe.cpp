// Reads the skin resources back from this executable.
//   skin_resource_probe [ARCHIVE]
// Checks that resource "ZIPRES" 147 exists, is a 7z archive and, when ARCHIVE is
// given, holds exactly that file's bytes; and that icon group 145 lists the icon sizes
// with an icon image resource behind each entry. Uses the kernel's resource functions
// only, so it runs without a display. Prints one line per check; exit 0 when all pass.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "utils/os.h"

namespace {

constexpr WORD kSkinResourceId = 147;
constexpr WORD kIconResourceId = 145;
constexpr unsigned char kSevenZipSignature[] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
constexpr WORD kIconSizes = 6;  // 16, 24, 32, 48, 64 and 256 pixels

#pragma pack(push, 2)
struct IconGroupHeader {
  WORD reserved;
  WORD type;  // 1 = icon
  WORD count;
};
struct IconGroupEntry {
  BYTE width;  // 0 means 256
  BYTE height;
  BYTE colours;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

const unsigned char* ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD* size) {
  HRSRC info = FindResourceW(module, name, type);
  if (info == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(module, info);
  *size = SizeofResource(module, info);
  return static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
}

bool IconGroupComplete(HMODULE module) {
  DWORD size = 0;
  const unsigned char* group = ResourceBytes(module, MAKEINTRESOURCEW(kIconResourceId), RT_GROUP_ICON, &size);
  if (group == nullptr || size < sizeof(IconGroupHeader)) return false;
  IconGroupHeader header;
  std::memcpy(&header, group, sizeof header);
  if (header.type != 1 || header.count != kIconSizes ||
      size < sizeof header + header.count * sizeof(IconGroupEntry)) {
    return false;
  }
  for (WORD i = 0; i < header.count; ++i) {
    IconGroupEntry entry;
    std::memcpy(&entry, group + sizeof header + i * sizeof entry, sizeof entry);
    DWORD imageSize = 0;
    if (ResourceBytes(module, MAKEINTRESOURCEW(entry.id), RT_ICON, &imageSize) == nullptr ||
        imageSize != entry.bytes) {
      return false;
    }
  }
  return true;
}

int Check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
  return ok ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int failures = 0;
  HMODULE self = GetModuleHandleW(nullptr);
  DWORD size = 0;
  const unsigned char* bytes = ResourceBytes(self, MAKEINTRESOURCEW(kSkinResourceId), L"ZIPRES", &size);
  failures += Check(bytes != nullptr && size > sizeof kSevenZipSignature, "resource ZIPRES/147 loads");
  if (bytes == nullptr || size <= sizeof kSevenZipSignature) return 1;
  failures += Check(std::memcmp(bytes, kSevenZipSignature, sizeof kSevenZipSignature) == 0,
                    "resource ZIPRES/147 is a 7z archive");
  if (argc > 1) {
    std::string file;
    failures += Check(Utils::ReadWholeFile(argv[1], file), "archive file readable");
    failures += Check(file.size() == size && std::memcmp(file.data(), bytes, size) == 0,
                      "resource ZIPRES/147 equals the archive file");
  }
  failures += Check(IconGroupComplete(self), "icon group 145 with all its images");
  std::printf("%lu bytes of skin\n", static_cast<unsigned long>(size));
  return failures == 0 ? 0 : 1;
}
