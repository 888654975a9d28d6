// Skin archives from memory: open, then look every entry up by its own name (a name
// stored with '/' is never found: the lookup turns only the request's '/' into '\').
#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/seven_zip_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SkinUI::SevenZipArchive archive;
  if (!archive.OpenMemory(data, size)) return 0;
  for (const auto& entry : archive.Entries()) {
    if (entry.path.find(L'/') == std::wstring::npos && archive.Find(entry.path) == nullptr) __builtin_trap();
    if (entry.pathUnits == 0) __builtin_trap();
  }
  return 0;
}
