#include "ui/win32/skin_resource.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace SkinUI {

bool FindResourceBytes(const wchar_t* name, const wchar_t* type, const uint8_t*& data, size_t& size) {
  HMODULE module = static_cast<HMODULE>(SkinSource::GetResourceInstance());
  HRSRC resource = FindResourceW(module, name, type);
  if (resource == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, resource);
  const DWORD bytes = SizeofResource(module, resource);
  const void* locked = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (locked == nullptr || bytes == 0) return false;
  data = static_cast<const uint8_t*>(locked);
  size = bytes;
  return true;
}

bool UseSkinArchiveResource(unsigned resourceId) {
  const uint8_t* data = nullptr;
  size_t size = 0;
  if (!FindResourceBytes(MAKEINTRESOURCEW(resourceId), kSkinArchiveResourceType, data, size)) return false;
  // A later window finds the archive already unpacked in memory.
  if (SkinSource::GetResourceArchive() == SkinSource::kMemoryArchiveName) return SkinSource::GetCachedArchive() != nullptr;
  // Unpacking works on a heap copy, never on the mapped module image itself.
  const std::vector<uint8_t> copy(data, data + size);
  return SkinSource::SetResourceArchiveMemory(copy.data(), copy.size());
}

bool LoadXmlResource(unsigned resourceId, CXmlMarkup& markup) {
  const uint8_t* data = nullptr;
  size_t size = 0;
  if (!FindResourceBytes(MAKEINTRESOURCEW(resourceId), L"xml", data, size)) {
    markup.Release();
    markup.SetLastError(L"Error opening file", L"");
    return false;
  }
  return markup.LoadFromMemory(data, size, XmlEncoding::Utf8);
}

bool PrepareSkinSource(SkinResourceType type, const std::wstring& skinFolder, const std::wstring& archiveFile,
                       unsigned resourceId) {
  if (SkinSource::GetResourcePath().empty()) SkinSource::SetResourcePath(SkinSource::GetInstancePath() + skinFolder);
  switch (type) {
    case SkinResourceType::Zip:
      SkinSource::SetResourceArchive(archiveFile, true);
      return true;
    case SkinResourceType::ZipResource: {
      const uint8_t* data = nullptr;
      size_t size = 0;
      if (!FindResourceBytes(MAKEINTRESOURCEW(resourceId), kSkinArchiveResourceType, data, size)) return false;
      // An archive that does not open still lets the window build: its layout load then
      // fails ("Error opening zip file") and is reported like any unreadable layout.
      UseSkinArchiveResource(resourceId);
      return true;
    }
    case SkinResourceType::File:
    case SkinResourceType::XmlResource:
      return true;
  }
  return true;
}

}  // namespace SkinUI
