// What the spin box does, apart from drawing and the system: its limits and
// value, the steps of a held arrow, the repeat timing from the keyboard
// settings, and the rules for typed and pasted text. The window in
// UpDownBox shows it and feeds it the user's input.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The wait before a held arrow repeats: keyboard delay setting d (0..3)
// gives d x 250 + 250 ms.
int FirstDelayFor(int keyboardDelay);
// The repeat period: keyboard speed setting s (0..31) gives 400 - s x 11.46
// ms, rounded (400 ms at 0, 45 ms at 31).
int RepeatIntervalFor(int keyboardSpeed);
// The characters a user may type into the field: digits, Backspace and "-".
bool AcceptsTypedCharacter(uint32_t character);
// The whole number a text reads as (blanks around it and a sign allowed),
// or nullopt when it is none or lies outside 32 bits.
std::optional<int32_t> ReadWholeNumber(std::string_view text);

class SpinBoxModel {
 public:
  enum class Arrow { kNone, kUp, kDown };
  struct Links {
    std::function<void()> change, downClick, upClick;  // the control's events
    std::function<void(const std::string&)> showText;   // into the field, all selected
    std::function<void(int milliseconds)> timer;        // run the repeat timer; 0 stops it
    std::function<void()> redrawArrows;
  };

  SpinBoxModel(Links links, int firstDelay, int repeatInterval)
      : links_(std::move(links)), firstDelay_(firstDelay), repeatInterval_(repeatInterval) {}

  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int32_t Value() const { return value_; }
  const std::string& Text() const { return text_; }
  Arrow Pressed() const { return pressed_; }
  int TimerInterval() const { return interval_; }

  // The limits are stored only: the value is not checked against them.
  void SetMin(int32_t min) { min_ = min; }
  void SetMax(int32_t max) { max_ = max; }
  // Shows the value limited to Min..Max in the field, which takes it as a
  // typed text would.
  void SetValue(int32_t value);
  // The field's text changed (typed, pasted or shown): a number in range
  // becomes the value (Change when it differs), one out of range is left as
  // typed, and a text that is no number makes the value 0 without Change.
  void TextChanged(const std::string& text);

  // An arrow pressed (mouse button or Up/Down key): it alone is pressed, the
  // timer starts at the first delay and one step is made at once.
  void Press(Arrow arrow);
  // A tick of the repeat timer: one step. `stillHeld` says whether the key
  // or the mouse button that holds the arrow is still down; when not, the
  // arrow is released after the step.
  void Tick(bool stillHeld);
  // The arrow let go: the timer stops and UpClick or DownClick is raised.
  void LetGo();

 private:
  void Step(bool stillHeld);

  Links links_;
  int firstDelay_, repeatInterval_;
  int32_t min_ = 0, max_ = 100, value_ = 0;
  std::string text_ = "0";
  Arrow pressed_ = Arrow::kNone;
  int interval_ = 0;  // 0 while the timer is stopped
};

}  // namespace velmora
