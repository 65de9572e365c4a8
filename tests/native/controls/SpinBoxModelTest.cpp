// The spin box's steps, its repeat timing and which keys it takes.
#include "controls/SpinBoxModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

TEST(SpinBox, RepeatTimingFromTheKeyboardSettings) {
  EXPECT_EQ(RepeatIntervalFor(31), 45);
  EXPECT_EQ(RepeatIntervalFor(0), 400);
  EXPECT_EQ(RepeatIntervalFor(15), 228);  // 400 - 171.9
  for (int d = 0; d <= 3; ++d) EXPECT_EQ(FirstDelayFor(d), d * 250 + 250);
}

TEST(SpinBox, OnlyDigitsBackspaceAndMinusAreTyped) {
  for (char c = '0'; c <= '9'; ++c) EXPECT_TRUE(AcceptsTypedCharacter(c));
  EXPECT_TRUE(AcceptsTypedCharacter('\b'));
  EXPECT_TRUE(AcceptsTypedCharacter('-'));
  for (uint32_t c : {uint32_t{'a'}, uint32_t{'A'}, uint32_t{'+'}, uint32_t{'.'}, uint32_t{' '},
                     uint32_t{0x661} /* an Arabic-Indic digit */})
    EXPECT_FALSE(AcceptsTypedCharacter(c)) << c;
  EXPECT_EQ(ReadWholeNumber(" -42 "), -42);
  EXPECT_EQ(ReadWholeNumber("2147483647"), 2147483647);
  EXPECT_EQ(ReadWholeNumber("-2147483648"), INT32_MIN);
  for (const char* text : {"", "-", "abc", "1a", "99999999999", "2147483648", "1.5"})
    EXPECT_FALSE(ReadWholeNumber(text)) << text;
}

struct Recorder {
  std::vector<std::string> events;
  std::vector<int> timer;
  std::string shown;
  SpinBoxModel Make() {
    SpinBoxModel::Links links;
    links.change = [this] { events.push_back("Change"); };
    links.upClick = [this] { events.push_back("UpClick"); };
    links.downClick = [this] { events.push_back("DownClick"); };
    links.showText = [this](const std::string& t) { shown = t; };
    links.timer = [this](int ms) { timer.push_back(ms); };
    return SpinBoxModel(links, 500, 45);
  }
};

TEST(SpinBox, HoldingUpFrom99StepsOnceThenWaitsForTheRelease) {
  Recorder r;
  SpinBoxModel box = r.Make();
  box.SetValue(99);
  r.events.clear();
  box.Press(SpinBoxModel::Arrow::kUp);
  EXPECT_EQ(box.Value(), 100);
  EXPECT_EQ(r.shown, "100");
  EXPECT_EQ(r.events, std::vector<std::string>{"Change"});
  EXPECT_EQ(r.timer, (std::vector<int>{500, 45}));  // the first delay, then the repeat
  for (int i = 0; i < 5; ++i) box.Tick(true);
  EXPECT_EQ(box.Value(), 100);
  EXPECT_EQ(r.events, std::vector<std::string>{"Change"});
  box.LetGo();
  EXPECT_EQ(r.events, (std::vector<std::string>{"Change", "UpClick"}));
  EXPECT_EQ(r.timer.back(), 0);
  EXPECT_EQ(box.Pressed(), SpinBoxModel::Arrow::kNone);
  // Down steps each tick to Min and raises DownClick at the end.
  r.events.clear();
  box.SetMin(98);
  box.Press(SpinBoxModel::Arrow::kDown);
  box.Tick(true);
  box.Tick(true);
  EXPECT_EQ(box.Value(), 98);
  box.Tick(false);  // let go unseen at the limit: released all the same
  EXPECT_EQ(r.events, (std::vector<std::string>{"Change", "Change", "DownClick"}));
}

TEST(SpinBox, ValuesSetAreLimitedTypedOnesAreNot) {
  Recorder r;
  SpinBoxModel box = r.Make();
  box.SetMax(200);
  box.SetValue(500);
  EXPECT_EQ(r.shown, "200");
  EXPECT_EQ(box.Value(), 200);
  EXPECT_EQ(r.events, std::vector<std::string>{"Change"});
  // The same value again: no Change.
  box.SetValue(200);
  EXPECT_EQ(r.events.size(), 1u);
  // Typed out of range: the text stays, the value too, no event.
  box.TextChanged("250");
  EXPECT_EQ(box.Value(), 200);
  EXPECT_EQ(box.Text(), "250");
  EXPECT_EQ(r.events.size(), 1u);
  box.TextChanged("37");
  EXPECT_EQ(box.Value(), 37);
  EXPECT_EQ(r.events.size(), 2u);
  // Pasted text that is no number: 0 without Change.
  box.TextChanged("abc");
  EXPECT_EQ(box.Value(), 0);
  EXPECT_EQ(r.events.size(), 2u);
  // An arrow from a text that is no number starts at 0.
  box.Press(SpinBoxModel::Arrow::kUp);
  EXPECT_EQ(box.Value(), 1);
  // Limits are stored only.
  box.SetMin(50);
  EXPECT_EQ(box.Value(), 1);
}

}  // namespace
}  // namespace velmora
