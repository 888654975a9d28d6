#pragma once
// Where skin files come from: process-wide settings shared by every window (plain
// globals, touched by the UI thread only), and the loaders that turn a name written in
// a skin into bytes.
//
// With no archive name, names are loose files under the resource path. With an archive
// name and the 7z switch on, names are entries of a 7z archive (the archive file under
// the resource path, or "membuffer" for an archive handed over in memory), found with
// SevenZipArchive::Find (either separator, any letter case). The zip form of the
// archive reader is not provided: with the 7z switch off, every archive load fails with
// "Error opening zip file".
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {

class SevenZipArchive;

// Where a window's layout comes from.
enum class SkinResourceType : int {
  File = 1,         // loose files under the resource path
  Zip = 2,          // an archive file under the resource path
  XmlResource = 3,  // a layout stored as a resource of type "xml"
  ZipResource = 4,  // an archive stored as a resource of type "ZIPRES" (the installer's)
};

class SkinSource {
 public:
  static constexpr const wchar_t* kMemoryArchiveName = L"membuffer";
  // Larger files and entries are refused with "File too large".
  static constexpr uint64_t kMaxSkinFileBytes = 0x400000;

  // Module handles are opaque here (HINSTANCE on Windows).
  static void SetInstance(void* module);
  static void* GetInstance();
  static void SetResourceInstance(void* module);
  // The resource instance, or the instance when none is set.
  static void* GetResourceInstance();
  // Folder of the instance's executable, ending in its separator; empty without one.
  static std::wstring GetInstancePath();

  // A non-empty path without a trailing '\' or '/' gets the platform separator.
  static void SetResourcePath(const std::wstring& path);
  static const std::wstring& GetResourcePath();

  // No change when name and cache equal the current ones. Otherwise the cached archive
  // is closed, both are stored, and with cache set the archive resource path + name is
  // opened now and kept (a failed open leaves no cached archive; loads then fail with
  // "Error opening zip file").
  static void SetResourceArchive(const std::wstring& name, bool cache);
  // No change when the archive name is already "membuffer": the archive opened from
  // memory the first time stays in use. Otherwise the name becomes "membuffer", the
  // cache flag true, and the bytes are unpacked into the cached archive (copied; the
  // caller may free them afterwards). False when the archive could not be opened.
  static bool SetResourceArchiveMemory(const uint8_t* bytes, size_t length);
  static const std::wstring& GetResourceArchive();
  static bool IsArchiveCached();
  // The open cached archive, or nullptr.
  static const SevenZipArchive* GetCachedArchive();

  static void SetSevenZip(bool on);
  static bool IsSevenZip();

  // Back to the start-up state (no instance, no path, no archive). For tests.
  static void ResetForTesting();
};

// Reads one skin file into bytes. On failure returns false with error set to one of
// "Error opening file", "File is empty", "File too large", "Could not read file" (loose
// files) or "Error opening zip file", "Could not find ziped file", "File is empty",
// "File too large", "Could not unzip file" (archive entries).
bool LoadSkinFile(const std::wstring& name, std::vector<uint8_t>& bytes, std::wstring& error);

// The image loader's read: LoadSkinFile's choice of source, then, when that fails, the
// name itself as a file path (absolute or relative to the current folder).
bool LoadSkinImageBytes(const std::wstring& name, std::vector<uint8_t>& bytes);

}  // namespace SkinUI
