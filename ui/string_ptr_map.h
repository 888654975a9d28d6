#pragma once
// A hash table from names to pointers, with a bucket count fixed at creation. The map
// never owns what the pointers point to. Keys compare case-sensitively; a successful
// Find may move the entry to the front of its bucket.
#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {

class StringPtrMap {
 public:
  static constexpr int kDefaultBuckets = 83;

  explicit StringPtrMap(int buckets = kDefaultBuckets);
  ~StringPtrMap();
  StringPtrMap(const StringPtrMap&) = delete;
  StringPtrMap& operator=(const StringPtrMap&) = delete;

  // hash = hash * 33 + character, folding the key from its last character to its first.
  static uint32_t Hash(const std::wstring& key);

  // nullptr when absent.
  void* Find(const std::wstring& key, bool moveToFront = true);
  // False (nothing changes) when the key is already present.
  bool Insert(const std::wstring& key, void* data);
  // Inserts or replaces; returns the replaced pointer (nullptr when the key was new).
  void* Set(const std::wstring& key, void* data);
  // False when absent.
  bool Remove(const std::wstring& key);
  void RemoveAll();
  int GetSize() const { return m_Count; }
  // Every key, bucket by bucket; for walking the table (for example to free values).
  std::vector<std::wstring> Keys() const;

 private:
  struct Item {
    std::wstring key;
    void* data;
    Item* next;
  };
  size_t Bucket(const std::wstring& key) const { return Hash(key) % m_Buckets.size(); }

  std::vector<Item*> m_Buckets;
  int m_Count = 0;
};

}  // namespace SkinUI
