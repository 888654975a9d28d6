#pragma once
// Decoded skin images as ready-to-blit GDI bitmaps, and the tables that cache them.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/string_ptr_map.h"

namespace SkinUI {

// One decoded image: a 32-bit top-down DIB section holding premultiplied BGRA.
// Deleting the record deletes its bitmap.
struct ImageRecord {
  ImageRecord() = default;
  ~ImageRecord();
  ImageRecord(const ImageRecord&) = delete;
  ImageRecord& operator=(const ImageRecord&) = delete;

  HBITMAP bitmap = nullptr;
  uint32_t* pixels = nullptr;  // the section's bits, width * height values 0xAARRGGBB
  int width = 0;
  int height = 0;
  bool hasAlpha = false;
  bool useHsl = false;
  std::wstring resourceType;
  uint32_t mask = 0;
  std::vector<uint32_t> originalPixels;  // the pixels as first decoded, only with useHsl
};

// Loads one image. type: empty (a skin file: archive entry or loose file, then the
// name as a path), "*COLOR*" (the name is an AARRGGBB colour; a 1x1 image) or a
// resource type (the name is a resource of the resource instance; a name starting with
// a digit is a numeric id). nullptr when the image is missing or does not decode.
std::unique_ptr<ImageRecord> LoadImageRecord(const std::wstring& name, const std::wstring& type, uint32_t mask);

// Name -> ImageRecord, keyed by the name exactly as written in the skin. The table owns
// its records.
class CImageTable {
 public:
  CImageTable() = default;
  ~CImageTable() { RemoveAll(); }
  CImageTable(const CImageTable&) = delete;
  CImageTable& operator=(const CImageTable&) = delete;

  ImageRecord* Find(const std::wstring& name);
  // Stores the record, deleting one stored under the same name. Returns the record.
  ImageRecord* Put(const std::wstring& name, std::unique_ptr<ImageRecord> record);
  bool Remove(const std::wstring& name);
  void RemoveAll();
  int GetSize() const { return m_Map.GetSize(); }

 private:
  StringPtrMap m_Map;
};

// The process-wide table of shared images.
CImageTable& SharedImageTable();

// The window manager's image operations over its per-window table.
// AddImage loads the image and stores it (in the shared table when shared or
// allShared, else in windowTable), replacing a record of the same name; nullptr when
// it does not load (nothing is stored then).
ImageRecord* AddImage(CImageTable& windowTable, const std::wstring& name, const std::wstring& type, uint32_t mask,
                      bool useHsl, bool shared, bool allShared = false);
// The per-window record, else the shared one, else AddImage (not shared). Type and
// mask of a request for a name already loaded are ignored. A failed load is not
// remembered: the next request tries again.
ImageRecord* GetImage(CImageTable& windowTable, const std::wstring& name, const std::wstring& type, uint32_t mask,
                      bool useHsl, bool allShared = false);

}  // namespace SkinUI
