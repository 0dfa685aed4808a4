#include "common/counted.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <new>
#include <string>

namespace veltrin {
namespace {

using namespace std::string_literals;

CountedHeader& Header(const void* p) {
  return *(reinterpret_cast<CountedHeader*>(const_cast<void*>(p)) - 1);
}

TEST(CountedString, LayoutOfANewString) {
  char* s = CountedStrNew("abc");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(Header(s).RefCount, 1);
  EXPECT_EQ(Header(s).Length, 3);
  EXPECT_EQ(s[3], '\0');
  EXPECT_EQ(CountedStrLength(s), 3);
  EXPECT_EQ(CountedStrView(s), "abc");
  CountedStrRelease(s);
  EXPECT_EQ(s, nullptr);
}

TEST(CountedString, KeepsEveryByte) {
  const std::string text = "a\0\xB9\xFD\xFF"s;
  char* s = CountedStrNew(text);
  EXPECT_EQ(CountedStrLength(s), 5);
  EXPECT_EQ(CountedStrView(s), text);
  EXPECT_EQ(s[5], '\0');
  CountedStrRelease(s);
}

TEST(CountedString, EmptyIsNull) {
  EXPECT_EQ(CountedStrNew(""), nullptr);
  EXPECT_EQ(CountedStrLength(nullptr), 0);
  EXPECT_TRUE(CountedStrView(nullptr).empty());
  char* s = nullptr;
  CountedStrRelease(s);
  EXPECT_EQ(CountedStrAddRef(nullptr), nullptr);
}

TEST(CountedString, TooLongIsRefused) {
  // Only the length is looked at before the refusal.
  static const char kByte = 'x';
  EXPECT_THROW(CountedStrNew(std::string_view(&kByte, kMaxCountedLength + 1)), std::bad_alloc);
}

TEST(CountedString, ReferencesAreCounted) {
  char* a = CountedStrNew("shared");
  char* b = CountedStrAddRef(a);
  EXPECT_EQ(a, b);
  EXPECT_EQ(Header(a).RefCount, 2);
  CountedStrRelease(b);
  EXPECT_EQ(b, nullptr);
  EXPECT_EQ(Header(a).RefCount, 1);
  EXPECT_EQ(CountedStrView(a), "shared");
  CountedStrRelease(a);
}

TEST(CountedString, AssignReleasesTheOldValue) {
  char* keep = CountedStrNew("old");
  char* field = CountedStrAddRef(keep);
  CountedStrAssign(field, "new");
  EXPECT_EQ(CountedStrView(field), "new");
  EXPECT_EQ(Header(keep).RefCount, 1);
  CountedStrAssign(field, "");
  EXPECT_EQ(field, nullptr);
  CountedStrRelease(keep);
}

TEST(CountedString, ConstantsAreNeverReleased) {
  static CountedConst kText("hello");
  char* p = kText.Ptr();
  EXPECT_EQ(Header(p).RefCount, -1);
  EXPECT_EQ(Header(p).Length, 5);
  EXPECT_EQ(p[5], '\0');
  EXPECT_EQ(CountedStrView(p), "hello");
  EXPECT_EQ(offsetof(CountedConst<6>, Text), sizeof(CountedHeader));

  EXPECT_EQ(CountedStrAddRef(p), p);
  EXPECT_EQ(Header(p).RefCount, -1);
  char* q = p;
  CountedStrRelease(q);
  EXPECT_EQ(q, nullptr);
  CountedStrRelease(p);
  EXPECT_EQ(Header(kText.Ptr()).RefCount, -1);
  EXPECT_EQ(CountedStrView(kText.Ptr()), "hello");
}

TEST(CountedArray, NewArrayIsZeroedAndCounted) {
  auto* a = DynArrayNew<int32_t>(5);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(Header(a).RefCount, 1);
  EXPECT_EQ(DynArrayLength(a), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(a[i], 0);
  DynArrayRelease(a);
  EXPECT_EQ(a, nullptr);

  EXPECT_EQ(DynArrayNew<int32_t>(0), nullptr);
  EXPECT_EQ(DynArrayLength(nullptr), 0);
  EXPECT_THROW(DynArrayNewRaw(kMaxCountedLength / 8 + 1, 8), std::bad_alloc);
}

TEST(CountedArray, ReleasingStringsReleasesElements) {
  static CountedConst kConst("const");
  char** arr = DynArrayNew<char*>(4);
  char* s0 = CountedStrNew("zero");
  char* s1 = CountedStrNew("one");
  arr[0] = CountedStrAddRef(s0);
  arr[1] = CountedStrAddRef(s1);
  arr[2] = nullptr;
  arr[3] = kConst.Ptr();

  // A second holder of the array: the first release must leave the elements be.
  ++Header(arr).RefCount;
  char** other = arr;
  DynArrayReleaseStrings(other);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(Header(arr).RefCount, 1);
  EXPECT_EQ(Header(s0).RefCount, 2);

  DynArrayReleaseStrings(arr);
  EXPECT_EQ(arr, nullptr);
  EXPECT_EQ(Header(s0).RefCount, 1);
  EXPECT_EQ(Header(s1).RefCount, 1);
  EXPECT_EQ(Header(kConst.Ptr()).RefCount, -1);
  CountedStrRelease(s0);
  CountedStrRelease(s1);
}

TEST(CountedArray, ReleasingByteArraysReleasesElements) {
  uint8_t** arr = DynArrayNew<uint8_t*>(2);
  uint8_t* chip = DynArrayNew<uint8_t>(3);
  chip[0] = 37;
  ++Header(chip).RefCount;  // held by the test and by the array
  arr[0] = chip;
  arr[1] = nullptr;
  DynArrayReleaseByteArrays(arr);
  EXPECT_EQ(arr, nullptr);
  EXPECT_EQ(Header(chip).RefCount, 1);
  EXPECT_EQ(chip[0], 37);
  DynArrayRelease(chip);
}

}  // namespace
}  // namespace veltrin
