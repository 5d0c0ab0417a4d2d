#include <climits>
#include <vector>

#include "rt_test_support.h"

namespace {

using RtString = RuntimeTest;

std::string take(StringValue* s) {
  std::string text = text_of(s);
  rt_str_release(s);
  return text;
}

TEST_F(RtString, IntToStrCoversTheWholeRangeAndTheCompatibilityBlank) {
  EXPECT_EQ(take(rt_int_to_str(INT_MIN)), "-2147483648");
  EXPECT_EQ(take(rt_int_to_str(INT_MAX)), "2147483647");
  rt_init(0, nullptr, 2);
  EXPECT_EQ(take(rt_int_to_str(INT_MAX)), " 2147483647");
  EXPECT_EQ(take(rt_int_to_str(0)), " 0");
  EXPECT_EQ(take(rt_int_to_str(INT_MIN)), "-2147483648");
}

TEST_F(RtString, CompareAcceptsCharacterArraysAndReleasesTemporaries) {
  EXPECT_EQ(rt_str_compare(temp_of("f"), -1, "f", 2), 0);
  EXPECT_EQ(rt_str_compare(rt_str_lcase(temp_of("F")), -1, "f", 2), 0);
  EXPECT_EQ(take(rt_str_lcase(temp_of("AbC-1\xC4z"))), "abc-1\xC4z");
  // Bytes compare unsigned; a common prefix makes the shorter text smaller.
  EXPECT_EQ(rt_str_compare("\x80", 2, "a", 2), 1);
  EXPECT_EQ(rt_str_compare(temp_of("ab"), -1, temp_of("abc"), -1), -1);
  // An array given with its size is never read past that size.
  const char unterminated[3] = {'a', 'b', 'c'};
  EXPECT_EQ(rt_str_compare(unterminated, 3, "abc", 4), 0);
  // The same temporary on both sides is released once.
  StringValue* same = temp_of("x");
  EXPECT_EQ(rt_str_compare(same, -1, same, -1), 0);
}

TEST_F(RtString, ConcatBuildsIntoTheDestinationEvenFromItself) {
  StringValue var{};
  EXPECT_EQ(rt_str_concat(&var, temp_of("ab"), -1, "cd", 3), &var);
  EXPECT_EQ(text_of(&var), "abcd");
  rt_str_concat(&var, &var, -1, "e", 2);
  rt_str_concat(&var, "<", 2, &var, -1);
  EXPECT_EQ(text_of(&var), "<abcde");
  EXPECT_EQ(var.data[6], '\0');
  rt_str_concat(&var, "", 1, temp_of(""), -1);  // an empty result empties it
  EXPECT_EQ(var.data, nullptr);
  EXPECT_EQ(take(rt_str_concat(temp_of("x"), temp_of("1"), -1, "2", 2)), "12");
  rt_str_delete(&var);
}

TEST_F(RtString, TempBorrowsCharactersWithoutEverFreeingThem) {
  char chars[] = "XYZ";
  StringValue* borrowed = rt_str_temp(chars, 3);
  EXPECT_EQ(borrowed->data, chars);
  EXPECT_EQ(take(rt_str_lcase(borrowed)), "xyz");
  EXPECT_STREQ(chars, "XYZ");  // lower-cased a copy

  StringValue var{};
  rt_str_assign(&var, rt_str_temp(chars, 3), -1);
  EXPECT_NE(var.data, chars);
  EXPECT_EQ(text_of(&var), "XYZ");
  rt_str_delete(&var);
  EXPECT_EQ(var.data, nullptr);
  EXPECT_EQ(var.size, 0u);
}

TEST_F(RtString, ExhaustedPoolHandsOutTheSharedEmptyValueSafely) {
  std::vector<StringValue*> held;
  while (rt_str_pool_in_use() < kStrPoolSize && held.size() < 300) held.push_back(temp_of("held"));
  ASSERT_EQ(held.size(), size_t(kStrPoolSize));
  StringValue* empty = rt_str_empty();
  EXPECT_EQ(temp_of("more"), empty);
  EXPECT_EQ(rt_int_to_str(42), empty);
  EXPECT_EQ(rt_str_concat(nullptr, "a", 2, "b", 2), empty);
  // Whatever is done to the shared value, it stays empty.
  rt_str_concat(empty, "a", 2, "b", 2);
  rt_str_assign(empty, "abc", 4);
  rt_str_release(empty);
  rt_str_delete(empty);
  EXPECT_EQ(empty->data, nullptr);
  EXPECT_EQ(rt_str_len(empty), 0);
  // Lower-casing a temporary needs no new entry.
  held.back() = rt_str_lcase(held.back());
  EXPECT_EQ(text_of(held.back()), "held");

  for (StringValue* s : held) rt_str_release(s);
  EXPECT_EQ(rt_str_pool_in_use(), 0);
}

}  // namespace
