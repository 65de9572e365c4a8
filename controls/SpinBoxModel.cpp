#include "controls/SpinBoxModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora {

int FirstDelayFor(int keyboardDelay) { return std::clamp(keyboardDelay, 0, 3) * 250 + 250; }

int RepeatIntervalFor(int keyboardSpeed) {
  return static_cast<int>(std::lround(400.0 - std::clamp(keyboardSpeed, 0, 31) * 11.46));
}

bool AcceptsTypedCharacter(uint32_t c) { return (c >= '0' && c <= '9') || c == '\b' || c == '-'; }

std::optional<int32_t> ReadWholeNumber(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(value);
}

void SpinBoxModel::SetValue(int32_t value) {
  const int32_t limited = std::max(min_, std::min(max_, value));
  TextChanged(std::to_string(limited));
  if (links_.showText) links_.showText(text_);
}

void SpinBoxModel::TextChanged(const std::string& text) {
  if (text == text_) return;  // the field showing what it was given
  text_ = text;
  const std::optional<int32_t> number = ReadWholeNumber(text);
  if (!number) {
    value_ = 0;
    return;
  }
  if (*number < min_ || *number > max_ || *number == value_) return;
  value_ = *number;
  if (links_.change) links_.change();
}

void SpinBoxModel::Press(Arrow arrow) {
  if (arrow == Arrow::kNone) return;
  if (pressed_ != arrow) {
    pressed_ = arrow;
    if (links_.redrawArrows) links_.redrawArrows();
  }
  interval_ = firstDelay_;
  if (links_.timer) links_.timer(interval_);
  Step(true);
}

void SpinBoxModel::Tick(bool stillHeld) {
  if (pressed_ != Arrow::kNone) Step(stillHeld);
}

void SpinBoxModel::Step(bool stillHeld) {
  if (!ReadWholeNumber(text_)) value_ = 0;
  const bool up = pressed_ == Arrow::kUp;
  if (up ? value_ >= max_ : value_ <= min_) {
    // At the limit nothing changes until the release; a hold that ended
    // unseen (the button let go outside every window) still ends here.
    if (!stillHeld) LetGo();
    return;
  }
  value_ += up ? 1 : -1;
  text_ = std::to_string(value_);
  if (links_.showText) links_.showText(text_);
  if (interval_ == firstDelay_) {
    interval_ = repeatInterval_;
    if (links_.timer) links_.timer(interval_);
  }
  if (!stillHeld) LetGo();
  if (links_.change) links_.change();
}

void SpinBoxModel::LetGo() {
  const Arrow released = pressed_;
  if (released == Arrow::kNone) return;
  interval_ = 0;
  if (links_.timer) links_.timer(0);
  pressed_ = Arrow::kNone;
  if (links_.redrawArrows) links_.redrawArrows();
  if (released == Arrow::kUp) {
    if (links_.upClick) links_.upClick();
  } else if (links_.downClick) {
    links_.downClick();
  }
}

}  // namespace velmora
