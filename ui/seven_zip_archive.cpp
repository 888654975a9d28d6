#include "ui/seven_zip_archive.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "ui/skin_files.h"
#include "ui/text_decoding.h"

extern "C" {
#include "7z.h"
#include "7zCrc.h"
}

namespace SkinUI {

namespace {

void* CappedAlloc(ISzAllocPtr, size_t size) {
  if (size == 0 || size > SevenZipArchive::kMaxAllocationBytes) return nullptr;
  return std::malloc(size);
}
void CappedFree(ISzAllocPtr, void* address) { std::free(address); }
const ISzAlloc kCappedAlloc = {CappedAlloc, CappedFree};

// The reader's look-ahead stream over bytes already in memory.
struct MemoryLookStream {
  ILookInStream vt;
  const uint8_t* data;
  size_t size;
  size_t pos;
};

MemoryLookStream* Self(ILookInStreamPtr p) {
  return reinterpret_cast<MemoryLookStream*>(const_cast<ILookInStream*>(p));
}

SRes MemLook(ILookInStreamPtr p, const void** buf, size_t* size) {
  MemoryLookStream* s = Self(p);
  const size_t left = s->size - s->pos;
  if (*size > left) *size = left;
  *buf = s->data + s->pos;
  return SZ_OK;
}

SRes MemSkip(ILookInStreamPtr p, size_t offset) {
  MemoryLookStream* s = Self(p);
  const size_t left = s->size - s->pos;
  s->pos += offset > left ? left : offset;
  return SZ_OK;
}

SRes MemRead(ILookInStreamPtr p, void* buf, size_t* size) {
  MemoryLookStream* s = Self(p);
  const size_t left = s->size - s->pos;
  if (*size > left) *size = left;
  if (*size > 0) std::memcpy(buf, s->data + s->pos, *size);
  s->pos += *size;
  return SZ_OK;
}

SRes MemSeek(ILookInStreamPtr p, Int64* pos, ESzSeek origin) {
  MemoryLookStream* s = Self(p);
  Int64 base = 0;
  switch (origin) {
    case SZ_SEEK_SET: base = 0; break;
    case SZ_SEEK_CUR: base = static_cast<Int64>(s->pos); break;
    case SZ_SEEK_END: base = static_cast<Int64>(s->size); break;
    default: return SZ_ERROR_PARAM;
  }
  const Int64 target = base + *pos;
  if (target < 0 || static_cast<uint64_t>(target) > s->size) return SZ_ERROR_READ;
  s->pos = static_cast<size_t>(target);
  *pos = target;
  return SZ_OK;
}

void InitCrcTables() {
  static std::once_flag once;
  std::call_once(once, [] { CrcGenerateTable(); });
}

// Owns the reader's database and its solid-block cache for the duration of one open.
class Database {
 public:
  Database() { SzArEx_Init(&m_Db); }
  ~Database() {
    ISzAlloc_Free(&kCappedAlloc, m_OutBuffer);
    SzArEx_Free(&m_Db, &kCappedAlloc);
  }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  CSzArEx* Get() { return &m_Db; }
  UInt32 m_BlockIndex = 0xFFFFFFFF;
  Byte* m_OutBuffer = nullptr;
  size_t m_OutBufferSize = 0;

 private:
  CSzArEx m_Db;
};

wchar_t FoldCase(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + (L'a' - L'A'));
  return c;
}

}  // namespace

bool SkinNamesEqual(const std::wstring& stored, const std::wstring& requested) {
  if (stored.size() != requested.size()) return false;
  for (size_t i = 0; i < stored.size(); ++i) {
    const wchar_t wanted = requested[i] == L'/' ? L'\\' : requested[i];
    if (FoldCase(stored[i]) != FoldCase(wanted)) return false;
  }
  return true;
}

bool SevenZipArchive::OpenFile(const std::wstring& path) {
  Close();
  std::vector<uint8_t> bytes;
  if (ReadLooseFile(path, kMaxArchiveFileBytes, bytes) != LooseFileResult::Ok) return false;
  return OpenMemory(bytes.data(), bytes.size());
}

bool SevenZipArchive::OpenMemory(const uint8_t* bytes, size_t length) {
  Close();
  if (bytes == nullptr || length == 0) return false;
  InitCrcTables();

  MemoryLookStream stream{{MemLook, MemSkip, MemRead, MemSeek}, bytes, length, 0};
  Database db;
  if (SzArEx_Open(db.Get(), &stream.vt, &kCappedAlloc, &kCappedAlloc) != SZ_OK) return false;
  m_Open = true;

  const CSzArEx* p = db.Get();
  uint64_t totalBytes = 0;
  std::vector<UInt16> name;
  for (UInt32 i = 0; i < p->NumFiles; ++i) {
    if (SzArEx_IsDir(p, i)) continue;
    const size_t units = SzArEx_GetFileNameUtf16(p, i, nullptr);
    name.assign(units == 0 ? 1 : units, 0);
    SzArEx_GetFileNameUtf16(p, i, name.data());

    size_t offset = 0;
    size_t processed = 0;
    const SRes res = SzArEx_Extract(p, &stream.vt, i, &db.m_BlockIndex, &db.m_OutBuffer, &db.m_OutBufferSize,
                                    &offset, &processed, &kCappedAlloc, &kCappedAlloc);
    if (res != SZ_OK || offset > db.m_OutBufferSize || processed > db.m_OutBufferSize - offset ||
        totalBytes + processed > kMaxTotalEntryBytes) {
      m_Incomplete = true;
      break;
    }
    totalBytes += processed;

    Entry entry;
    size_t length16 = 0;
    while (length16 < name.size() && name[length16] != 0) ++length16;
    entry.path = Utf16ToWide(name.data(), length16);
    entry.pathUnits = static_cast<uint32_t>(length16 + 1);
    entry.index = i;
    if (processed > 0) entry.bytes.assign(db.m_OutBuffer + offset, db.m_OutBuffer + offset + processed);
    m_Entries.push_back(std::move(entry));
  }
  return true;
}

void SevenZipArchive::Close() {
  m_Entries.clear();
  m_Entries.shrink_to_fit();
  m_Open = false;
  m_Incomplete = false;
}

const SevenZipArchive::Entry* SevenZipArchive::Find(const std::wstring& name) const {
  for (const Entry& entry : m_Entries) {
    if (SkinNamesEqual(entry.path, name)) return &entry;
  }
  return nullptr;
}

}  // namespace SkinUI
