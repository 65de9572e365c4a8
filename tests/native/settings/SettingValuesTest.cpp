#include "settings/SettingValues.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ReadFlag, UsesOnlyTheFirstCharacter) {
  int flag = 7;
  EXPECT_TRUE(ReadFlag("1", flag));
  EXPECT_EQ(flag, 1);
  EXPECT_TRUE(ReadFlag("10", flag));  // an Imageviewer of 10 reads as 1
  EXPECT_EQ(flag, 1);
  EXPECT_TRUE(ReadFlag("0abc", flag));
  EXPECT_EQ(flag, 0);
}

TEST(ReadFlag, FailedConversionKeepsThePreviousValue) {
  int flag = 1;
  EXPECT_FALSE(ReadFlag("", flag));
  EXPECT_EQ(flag, 1);
  EXPECT_FALSE(ReadFlag("x1", flag));
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(FlagOr("", 0), 0);
  EXPECT_EQ(FlagOr("yes", 1), 1);
}

TEST(ReadNumber, TakesTheLeadingDecimalNumber) {
  long n = 0;
  EXPECT_TRUE(ReadNumber("5000", n));
  EXPECT_EQ(n, 5000);
  EXPECT_TRUE(ReadNumber("30 frames", n));
  EXPECT_EQ(n, 30);
  EXPECT_TRUE(ReadNumber("-12", n));
  EXPECT_EQ(n, -12);
  EXPECT_TRUE(ReadNumber("  16744576", n));
  EXPECT_EQ(n, 16744576);
  EXPECT_TRUE(ReadNumber("2147483647", n));
  EXPECT_EQ(n, 2147483647);
  EXPECT_TRUE(ReadNumber("-2147483648", n));
  EXPECT_EQ(n, -2147483647 - 1);
}

TEST(ReadNumber, FailedConversionKeepsThePreviousValue) {
  long n = 42;
  for (const char* bad : {"", "-", "abc", " ", "+", "2147483648", "99999999999999999999"}) {
    EXPECT_FALSE(ReadNumber(bad, n)) << bad;
    EXPECT_EQ(n, 42) << bad;
  }
  EXPECT_EQ(NumberOr("", 5000), 5000);
  EXPECT_EQ(NumberOr("255", 5000), 255);
}

}  // namespace
}  // namespace velmora
