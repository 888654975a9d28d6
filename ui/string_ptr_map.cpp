#include "ui/string_ptr_map.h"

namespace SkinUI {

StringPtrMap::StringPtrMap(int buckets) : m_Buckets(static_cast<size_t>(buckets > 0 ? buckets : kDefaultBuckets)) {}

StringPtrMap::~StringPtrMap() { RemoveAll(); }

uint32_t StringPtrMap::Hash(const std::wstring& key) {
  uint32_t hash = 0;
  for (size_t i = key.size(); i-- > 0;) hash = hash * 33 + static_cast<uint32_t>(key[i]);
  return hash;
}

void* StringPtrMap::Find(const std::wstring& key, bool moveToFront) {
  Item*& head = m_Buckets[Bucket(key)];
  Item* previous = nullptr;
  for (Item* item = head; item != nullptr; previous = item, item = item->next) {
    if (item->key != key) continue;
    if (moveToFront && previous != nullptr) {
      previous->next = item->next;
      item->next = head;
      head = item;
    }
    return item->data;
  }
  return nullptr;
}

bool StringPtrMap::Insert(const std::wstring& key, void* data) {
  Item*& head = m_Buckets[Bucket(key)];
  for (Item* item = head; item != nullptr; item = item->next) {
    if (item->key == key) return false;
  }
  head = new Item{key, data, head};
  ++m_Count;
  return true;
}

void* StringPtrMap::Set(const std::wstring& key, void* data) {
  Item*& head = m_Buckets[Bucket(key)];
  for (Item* item = head; item != nullptr; item = item->next) {
    if (item->key == key) {
      void* old = item->data;
      item->data = data;
      return old;
    }
  }
  head = new Item{key, data, head};
  ++m_Count;
  return nullptr;
}

bool StringPtrMap::Remove(const std::wstring& key) {
  Item** link = &m_Buckets[Bucket(key)];
  for (Item* item = *link; item != nullptr; link = &item->next, item = item->next) {
    if (item->key != key) continue;
    *link = item->next;
    delete item;
    --m_Count;
    return true;
  }
  return false;
}

void StringPtrMap::RemoveAll() {
  for (Item*& head : m_Buckets) {
    while (head != nullptr) {
      Item* next = head->next;
      delete head;
      head = next;
    }
  }
  m_Count = 0;
}

std::vector<std::wstring> StringPtrMap::Keys() const {
  std::vector<std::wstring> keys;
  for (const Item* head : m_Buckets) {
    for (const Item* item = head; item != nullptr; item = item->next) keys.push_back(item->key);
  }
  return keys;
}

}  // namespace SkinUI
