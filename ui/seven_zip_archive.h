#pragma once
// A 7z archive unpacked completely when it is opened; lookups are then served from
// memory. Opening copies every entry, so the source bytes are not needed afterwards.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace SkinUI {

class SevenZipArchive {
 public:
  // Bounds against hostile archives: no single allocation of the reader (solid block,
  // tables) may exceed kMaxAllocationBytes, and the entries together may not exceed
  // kMaxTotalEntryBytes; an archive file larger than kMaxArchiveFileBytes is not read.
  static constexpr size_t kMaxAllocationBytes = size_t{32} << 20;
  static constexpr uint64_t kMaxTotalEntryBytes = uint64_t{128} << 20;
  static constexpr uint64_t kMaxArchiveFileBytes = uint64_t{64} << 20;

  struct Entry {
    std::wstring path;     // as stored (either separator), without the terminator
    uint32_t pathUnits;    // length in UTF-16 units including the terminator
    uint32_t index;        // item index in the archive
    std::vector<uint8_t> bytes;
  };

  SevenZipArchive() = default;
  ~SevenZipArchive() = default;
  SevenZipArchive(const SevenZipArchive&) = delete;
  SevenZipArchive& operator=(const SevenZipArchive&) = delete;

  // False when the archive database cannot be read (not a 7z archive, truncated or
  // corrupt headers, unsupported method, too large). An extraction error later stops
  // the unpacking: the entries made so far remain and the open still succeeds.
  bool OpenFile(const std::wstring& path);
  bool OpenMemory(const uint8_t* bytes, size_t length);
  void Close();

  bool IsOpen() const { return m_Open; }
  // True when an extraction error stopped the unpacking early.
  bool IsIncomplete() const { return m_Incomplete; }
  const std::vector<Entry>& Entries() const { return m_Entries; }

  // Every '/' in name counts as '\'; the entry whose stored path has the same length
  // and is equal ignoring case (a path stored with '/' therefore never matches).
  // nullptr when there is none.
  const Entry* Find(const std::wstring& name) const;

 private:
  bool m_Open = false;
  bool m_Incomplete = false;
  std::vector<Entry> m_Entries;
};

// Name comparison of skin lookups: a stored entry path against a requested name whose
// every '/' counts as '\'; equal length and equal ignoring case.
bool SkinNamesEqual(const std::wstring& stored, const std::wstring& requested);

}  // namespace SkinUI
