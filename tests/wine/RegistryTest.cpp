#include "settings/ProgramValues.h"
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

// The program's own values: each under its name and type, read in one call.
TEST(ProgramValues, EveryValueRoundTripsUnderItsNameAndType) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramRegKey);
  const ProgramValues none = ReadProgramValues();
  EXPECT_EQ(none.scaleX, 0);
  EXPECT_EQ(none.tempx, "");
  EXPECT_FALSE(none.iconsLocked);
  ProgramValues v;
  v.scaleX = 1024;
  v.scaleY = 738;
  v.desktopC = 7;
  v.tempx = "30*30*";
  v.tempy = "0*72*";
  v.arrange = 5;
  v.iconsLocked = true;
  std::vector<ProgramValueId> all;
  for (int i = 0; i < static_cast<int>(ProgramValueId::kCount); ++i) all.push_back(static_cast<ProgramValueId>(i));
  ASSERT_TRUE(SaveProgramValues(v, all));
  const ProgramValues back = ReadProgramValues();
  EXPECT_EQ(back.scaleX, 1024);
  EXPECT_EQ(back.scaleY, 738);
  EXPECT_EQ(back.desktopC, 7);
  EXPECT_EQ(back.tempx, "30*30*");
  EXPECT_EQ(back.tempy, "0*72*");
  EXPECT_EQ(back.arrange, 5);
  EXPECT_TRUE(back.iconsLocked);
  // The names and types the layout and the menus have always used; a lock
  // is stored as all bits set.
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "ScaleX"), 1024);
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "ScaleY"), 738);
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "DesktopC"), 7);
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempx"), "30*30*");
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempy"), "0*72*");
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "Arrange"), 5);
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "isLock"), -1);
  for (const ProgramValueId id : all) EXPECT_EQ(KeyOf(id).id, id);
  // Only the values named are written.
  ProgramValues other;
  other.arrange = 6;
  ASSERT_TRUE(SaveProgramValues(other, {ProgramValueId::kArrange, ProgramValueId::kIsLock}));
  EXPECT_EQ(ReadProgramValues().arrange, 6);
  EXPECT_FALSE(ReadProgramValues().iconsLocked);
  EXPECT_EQ(ReadProgramValues().scaleX, 1024);
  // The places remembered for one size of the layer.
  ASSERT_TRUE(SaveRememberedPlaces("1024x738", "30*0*key\n"));
  EXPECT_EQ(ReadRememberedPlaces("1024x738"), "30*0*key\n");
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kLayoutsRegKey, "1024x738"), "30*0*key\n");
  ForgetRememberedPlaces("1024x738");
  EXPECT_EQ(ReadRememberedPlaces("1024x738"), "");
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramRegKey);
}

}  // namespace
}  // namespace velmora
