#include "ui/win32/image_record.h"

#include <cstring>

#include "ui/image_decoder.h"
#include "ui/skin_source.h"
#include "ui/skin_values.h"
#include "ui/win32/skin_resource.h"

namespace SkinUI {

namespace {

bool LoadResourceBytes(const std::wstring& name, const std::wstring& type, std::vector<uint8_t>& bytes) {
  const wchar_t* resourceName = name.c_str();
  if (!name.empty() && name[0] >= L'0' && name[0] <= L'9')
    resourceName = MAKEINTRESOURCEW(static_cast<WORD>(_wtoi(name.c_str())));
  const uint8_t* data = nullptr;
  size_t size = 0;
  if (!FindResourceBytes(resourceName, type.c_str(), data, size)) return false;
  bytes.assign(data, data + size);
  return true;
}

}  // namespace

ImageRecord::~ImageRecord() {
  if (bitmap != nullptr) DeleteObject(bitmap);
}

std::unique_ptr<ImageRecord> LoadImageRecord(const std::wstring& name, const std::wstring& type, uint32_t mask) {
  DecodedImage image;
  if (type == kColorImageType) {
    image = MakeColourImage(name);
  } else {
    std::vector<uint8_t> bytes;
    const bool read = type.empty() ? LoadSkinImageBytes(name, bytes) : LoadResourceBytes(name, type, bytes);
    if (!read || !DecodeSkinImage(bytes.data(), bytes.size(), mask, image)) return nullptr;
  }

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    return nullptr;
  }
  auto record = std::make_unique<ImageRecord>();
  record->bitmap = bitmap;
  record->pixels = static_cast<uint32_t*>(bits);
  record->width = image.width;
  record->height = image.height;
  record->hasAlpha = image.hasAlpha;
  record->resourceType = type;
  record->mask = mask;
  std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(uint32_t));
  return record;
}

ImageRecord* CImageTable::Find(const std::wstring& name) { return static_cast<ImageRecord*>(m_Map.Find(name)); }

ImageRecord* CImageTable::Put(const std::wstring& name, std::unique_ptr<ImageRecord> record) {
  ImageRecord* stored = record.release();
  delete static_cast<ImageRecord*>(m_Map.Set(name, stored));
  return stored;
}

bool CImageTable::Remove(const std::wstring& name) {
  ImageRecord* record = static_cast<ImageRecord*>(m_Map.Find(name, false));
  if (record == nullptr) return false;
  m_Map.Remove(name);
  delete record;
  return true;
}

void CImageTable::RemoveAll() {
  for (const std::wstring& key : m_Map.Keys()) delete static_cast<ImageRecord*>(m_Map.Find(key, false));
  m_Map.RemoveAll();
}

CImageTable& SharedImageTable() {
  static CImageTable table;
  return table;
}

ImageRecord* AddImage(CImageTable& windowTable, const std::wstring& name, const std::wstring& type, uint32_t mask,
                      bool useHsl, bool shared, bool allShared) {
  if (name.empty()) return nullptr;
  std::unique_ptr<ImageRecord> record = LoadImageRecord(name, type, mask);
  if (!record) return nullptr;
  record->useHsl = useHsl;
  if (useHsl) record->originalPixels.assign(record->pixels, record->pixels + record->width * record->height);
  CImageTable& table = (shared || allShared) ? SharedImageTable() : windowTable;
  return table.Put(name, std::move(record));
}

ImageRecord* GetImage(CImageTable& windowTable, const std::wstring& name, const std::wstring& type, uint32_t mask,
                      bool useHsl, bool allShared) {
  if (ImageRecord* record = windowTable.Find(name)) return record;
  if (ImageRecord* record = SharedImageTable().Find(name)) return record;
  return AddImage(windowTable, name, type, mask, useHsl, false, allShared);
}

}  // namespace SkinUI
