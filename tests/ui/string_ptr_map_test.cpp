#include "ui/string_ptr_map.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using SkinUI::StringPtrMap;

TEST(StringPtrMap, HashFoldsFromTheLastCharacter) {
  EXPECT_EQ(StringPtrMap::Hash(L""), 0u);
  EXPECT_EQ(StringPtrMap::Hash(L"a"), 97u);
  EXPECT_EQ(StringPtrMap::Hash(L"ab"), 98u * 33 + 97);  // 'b' first, then 'a'
  // Unsigned 32-bit wrap-around, no overflow trap.
  EXPECT_NE(StringPtrMap::Hash(std::wstring(100, L'z')), 0u);
}

TEST(StringPtrMap, InsertFindSetRemove) {
  int a = 1, b = 2, c = 3;
  StringPtrMap map(3);  // few buckets: collisions and front-moves are exercised
  EXPECT_TRUE(map.Insert(L"res\\a.png", &a));
  EXPECT_TRUE(map.Insert(L"RES\\A.PNG", &b));  // keys are case-sensitive
  EXPECT_FALSE(map.Insert(L"res\\a.png", &c));
  for (int i = 0; i < 20; ++i) map.Insert(L"k" + std::to_wstring(i), &c);
  EXPECT_EQ(map.GetSize(), 22);
  EXPECT_EQ(map.Find(L"res\\a.png"), &a);
  EXPECT_EQ(map.Find(L"RES\\A.PNG"), &b);
  EXPECT_EQ(map.Find(L"res\\a.png"), &a);  // still there after being moved to the front
  EXPECT_EQ(map.Find(L"missing"), nullptr);

  EXPECT_EQ(map.Set(L"res\\a.png", &c), &a);
  EXPECT_EQ(map.Find(L"res\\a.png"), &c);
  EXPECT_EQ(map.Set(L"new", &a), nullptr);
  EXPECT_EQ(map.GetSize(), 23);

  EXPECT_TRUE(map.Remove(L"k7"));
  EXPECT_FALSE(map.Remove(L"k7"));
  EXPECT_EQ(map.Find(L"k7"), nullptr);
  EXPECT_EQ(map.Find(L"k8"), &c);
  const auto keys = map.Keys();
  EXPECT_EQ(keys.size(), 22u);
  EXPECT_EQ(std::count(keys.begin(), keys.end(), L"new"), 1);

  map.RemoveAll();
  EXPECT_EQ(map.GetSize(), 0);
  EXPECT_EQ(map.Find(L"new"), nullptr);
}

}  // namespace
