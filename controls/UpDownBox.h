// The program's numeric spin box: a text field with an up and a down arrow
// on its right, drawn with the system's scroll-arrow look. Holding an arrow
// with the mouse, or Up or Down in the field, repeats the step with the
// system's keyboard delay and rate. The rules are SpinBoxModel's.
#pragma once

#include "common/Handles.h"
#include "common/Window.h"
#include "controls/SpinBoxModel.h"

#include <functional>
#include <memory>

namespace velmora {

struct SpinEvents {
  std::function<void()> change, downClick, upClick;
};

class UpDownBox : public Window {
 public:
  static constexpr UINT_PTR kRepeatTimerId = 1;  // tmr_Inc

  explicit UpDownBox(SpinEvents events);

  bool Create(HWND parent, int x, int y, int width, int height);

  int32_t Min() const { return model_->Min(); }
  int32_t Max() const { return model_->Max(); }
  int32_t Value() const { return model_->Value(); }
  void SetMin(int32_t min) { model_->SetMin(min); }
  void SetMax(int32_t max) { model_->SetMax(max); }
  void SetValue(int32_t value) { model_->SetValue(value); }

  // Alignment: 0 left, 1 right, 2 centred.
  void SetAlignment(int alignment);
  void SetBackColor(COLORREF color);
  void SetForeColor(COLORREF color);
  // BorderStyle: 0 none, 1 a single line.
  void SetBorderStyle(int style);
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  void SetFont(HFONT font);
  // The DPI the box is drawn at: the arrows take the system's scroll-bar
  // width there.
  void SetDpi(int dpi);

  HWND Field() const { return field_; }  // txtValue
  SpinBoxModel::Arrow Pressed() const { return model_->Pressed(); }
  RECT UpArrow() const { return up_; }
  RECT DownArrow() const { return down_; }
  int FirstDelay() const { return firstDelay_; }
  int RepeatInterval() const { return repeatInterval_; }
  // For tests: what runs the repeat timer (the interval in ms, 0 to stop)
  // instead of the window's own timer, so that ticks can be sent at will.
  void SetTimerSeam(std::function<void(int)> timer) { timerSeam_ = std::move(timer); }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  static LRESULT CALLBACK FieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
  bool CreateField();
  void Layout();
  void Paint();
  void RunTimer(int milliseconds);
  bool StillHeld() const;

  SpinEvents events_;
  std::unique_ptr<SpinBoxModel> model_;
  HWND field_ = nullptr;  // a child window, destroyed with the control
  RECT up_{}, down_{};
  int arrowWidth_ = 0;
  bool buttonsSwapped_ = false;
  int firstDelay_ = 0, repeatInterval_ = 0;
  bool heldByKey_ = false;
  bool enabled_ = true;
  int alignment_ = 0;
  COLORREF backColor_ = ::GetSysColor(COLOR_WINDOW);
  COLORREF foreColor_ = ::GetSysColor(COLOR_WINDOWTEXT);
  UniqueGdiObject backBrush_;
  HFONT font_ = nullptr;  // the container's
  std::function<void(int)> timerSeam_;
};

}  // namespace velmora
