#include "ui/skin_source.h"

#include <memory>
#include <new>

#include "ui/seven_zip_archive.h"
#include "ui/skin_files.h"

namespace SkinUI {

namespace {

struct SourceState {
  void* instance = nullptr;
  void* resourceInstance = nullptr;
  std::wstring resourcePath;
  std::wstring archiveName;
  std::unique_ptr<SevenZipArchive> cachedArchive;
  bool cache = false;
  bool sevenZip = false;
};

SourceState& State() {
  static SourceState state;
  return state;
}

const wchar_t* LooseFileError(LooseFileResult result) {
  switch (result) {
    case LooseFileResult::Ok: return L"";
    case LooseFileResult::OpenFailed: return L"Error opening file";
    case LooseFileResult::Empty: return L"File is empty";
    case LooseFileResult::TooLarge: return L"File too large";
    case LooseFileResult::ReadFailed: return L"Could not read file";
  }
  return L"Error opening file";
}

std::unique_ptr<SevenZipArchive> OpenArchiveFile(const std::wstring& path) {
  auto archive = std::make_unique<SevenZipArchive>();
  if (!archive->OpenFile(path)) return nullptr;
  return archive;
}

}  // namespace

void SkinSource::SetInstance(void* module) { State().instance = module; }
void* SkinSource::GetInstance() { return State().instance; }
void SkinSource::SetResourceInstance(void* module) { State().resourceInstance = module; }
void* SkinSource::GetResourceInstance() {
  return State().resourceInstance != nullptr ? State().resourceInstance : State().instance;
}
std::wstring SkinSource::GetInstancePath() { return ModuleFolder(State().instance); }

void SkinSource::SetResourcePath(const std::wstring& path) {
  std::wstring stored = path;
  if (!stored.empty() && stored.back() != L'\\' && stored.back() != L'/') stored.push_back(kSkinPathSeparator);
  State().resourcePath = stored;
}
const std::wstring& SkinSource::GetResourcePath() { return State().resourcePath; }

void SkinSource::SetResourceArchive(const std::wstring& name, bool cache) {
  SourceState& s = State();
  if (name == s.archiveName && cache == s.cache) return;
  s.cachedArchive.reset();
  s.archiveName = name;
  s.cache = cache;
  if (cache && !name.empty() && s.sevenZip) s.cachedArchive = OpenArchiveFile(s.resourcePath + name);
}

bool SkinSource::SetResourceArchiveMemory(const uint8_t* bytes, size_t length) {
  SourceState& s = State();
  if (s.archiveName == kMemoryArchiveName) return s.cachedArchive != nullptr;
  s.cachedArchive.reset();
  s.archiveName = kMemoryArchiveName;
  s.cache = true;
  auto archive = std::make_unique<SevenZipArchive>();
  if (!archive->OpenMemory(bytes, length)) return false;
  s.cachedArchive = std::move(archive);
  return true;
}

const std::wstring& SkinSource::GetResourceArchive() { return State().archiveName; }
bool SkinSource::IsArchiveCached() { return State().cache; }
const SevenZipArchive* SkinSource::GetCachedArchive() { return State().cachedArchive.get(); }
void SkinSource::SetSevenZip(bool on) { State().sevenZip = on; }
bool SkinSource::IsSevenZip() { return State().sevenZip; }

void SkinSource::ResetForTesting() { State() = SourceState(); }

bool LoadSkinFile(const std::wstring& name, std::vector<uint8_t>& bytes, std::wstring& error) {
  bytes.clear();
  error.clear();
  SourceState& s = State();
  if (s.archiveName.empty()) {
    const LooseFileResult result = ReadLooseFile(s.resourcePath + name, SkinSource::kMaxSkinFileBytes, bytes);
    if (result == LooseFileResult::Ok) return true;
    error = LooseFileError(result);
    return false;
  }
  if (!s.sevenZip) {
    error = L"Error opening zip file";
    return false;
  }
  // An archive opened only for this load closes again when `own` goes.
  std::unique_ptr<SevenZipArchive> own;
  const SevenZipArchive* archive = nullptr;
  if (s.cache) {
    archive = s.cachedArchive.get();
  } else {
    own = OpenArchiveFile(s.resourcePath + s.archiveName);
    archive = own.get();
  }
  if (archive == nullptr) {
    error = L"Error opening zip file";
    return false;
  }
  const SevenZipArchive::Entry* entry = archive->Find(name);
  if (entry == nullptr) {
    error = L"Could not find ziped file";
    return false;
  }
  if (entry->bytes.empty()) {
    error = L"File is empty";
    return false;
  }
  if (entry->bytes.size() > SkinSource::kMaxSkinFileBytes) {
    error = L"File too large";
    return false;
  }
  try {
    bytes = entry->bytes;
  } catch (const std::bad_alloc&) {
    error = L"Could not unzip file";
    return false;
  }
  return true;
}

bool LoadSkinImageBytes(const std::wstring& name, std::vector<uint8_t>& bytes) {
  std::wstring error;
  if (LoadSkinFile(name, bytes, error)) return true;
  return ReadLooseFile(name, SkinSource::kMaxSkinFileBytes, bytes) == LooseFileResult::Ok;
}

}  // namespace SkinUI
