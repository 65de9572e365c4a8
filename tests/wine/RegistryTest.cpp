#include "settings/Registry.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr const char* kKey = "Software\\VelmoraTest";

class RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
};

TEST_F(RegistryTest, StringsRoundTrip) {
  SaveRegString(HKEY_CURRENT_USER, kKey, "Tempx", "30*30*30*120*");
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kKey, "Tempx"), "30*30*30*120*");
  SaveRegString(HKEY_CURRENT_USER, kKey, "Tempx", "");
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kKey, "Tempx"), "");
  const std::string longText(70000, 'x');
  SaveRegString(HKEY_CURRENT_USER, kKey, "Tempy", longText);
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kKey, "Tempy"), longText);
}

TEST_F(RegistryTest, NumbersRoundTrip) {
  for (long value : {0L, 1L, 1000L, -1L, 2147483647L}) {
    SaveRegLong(HKEY_CURRENT_USER, kKey, "Arrange", value);
    EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kKey, "Arrange"), value);
  }
}

TEST_F(RegistryTest, WrongTypesAndMissingValuesGiveEmptyOrZero) {
  SaveRegLong(HKEY_CURRENT_USER, kKey, "isLock", 1);
  SaveRegString(HKEY_CURRENT_USER, kKey, "ScaleX", "1024");
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kKey, "isLock"), "");
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kKey, "ScaleX"), 0);
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kKey, "absent"), "");
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kKey, "absent"), 0);
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, "Software\\VelmoraNoSuchKey", "x"), "");
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, "Software\\VelmoraNoSuchKey", "x"), 0);
}

TEST_F(RegistryTest, StringStopsAtTheFirstNul) {
  SaveRegString(HKEY_CURRENT_USER, kKey, "probe", "");
  HKEY key;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const char data[] = "left\0right";
  ::RegSetValueExA(key, "probe", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
  ::RegCloseKey(key);
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kKey, "probe"), "left");
}

TEST_F(RegistryTest, DeleteRemovesAndToleratesAbsence) {
  SaveRegString(HKEY_CURRENT_USER, kKey, "Tempx", "1*");
  DeleteRegValue(HKEY_CURRENT_USER, kKey, "Tempx");
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kKey, "Tempx"), "");
  DeleteRegValue(HKEY_CURRENT_USER, kKey, "Tempx");
  DeleteRegValue(HKEY_CURRENT_USER, "Software\\VelmoraNoSuchKey", "Tempx");
  SaveRegLong(HKEY_CURRENT_USER, kKey, "after", 5);  // the key still works
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kKey, "after"), 5);
}

}  // namespace
}  // namespace velmora
