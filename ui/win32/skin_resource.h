#pragma once
// Skins stored among the executable's resources.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/skin_source.h"
#include "ui/xml_markup.h"

namespace SkinUI {

// The installer's skin archive: resource type "ZIPRES", id 147.
constexpr const wchar_t* kSkinArchiveResourceType = L"ZIPRES";
constexpr unsigned kSkinArchiveResourceId = 147;

// Makes the "ZIPRES" resource with this id (in the resource instance) the skin archive:
// the bytes are copied and unpacked once per process; a second call finds the
// archive already in memory and reuses it. False when the resource is missing, cannot
// be loaded, is empty, or does not open as an archive.
bool UseSkinArchiveResource(unsigned resourceId);

// A resource's bytes in the resource instance (valid while the module is loaded); false
// when it is missing, cannot be loaded or is empty.
bool FindResourceBytes(const wchar_t* name, const wchar_t* type, const uint8_t*& data, size_t& size);

// Loads a layout stored as a resource of type "xml" (UTF-8). The error texts are the
// loose-file ones ("Error opening file", "File is empty").
bool LoadXmlResource(unsigned resourceId, CXmlMarkup& markup);

// Window creation's choice of skin source: an empty resource path becomes the
// instance's folder followed by skinFolder; type Zip selects archiveFile (cached);
// type ZipResource selects the archive resource. False when window creation must end
// without controls (ZipResource whose resource is missing or empty); a resource that
// is there but does not open as an archive is no reason to stop here: the layout load
// that follows fails with "Error opening zip file".
bool PrepareSkinSource(SkinResourceType type, const std::wstring& skinFolder, const std::wstring& archiveFile,
                       unsigned resourceId);

}  // namespace SkinUI
