// Skin archives from memory: open, then look every entry up by its own name.
#include <cstddef>
#include <cstdint>

#include "ui/seven_zip_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SkinUI::SevenZipArchive archive;
  if (!archive.OpenMemory(data, size)) return 0;
  for (const auto& entry : archive.Entries()) {
    if (archive.Find(entry.path) == nullptr) __builtin_trap();
    if (entry.pathUnits == 0) __builtin_trap();
  }
  return 0;
}
