#include "controls/UpDownBox.h"

#include "common/Dpi.h"

#include "common/WinText.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace velmora {
namespace {

int SystemSetting(UINT action) {
  int value = 0;
  ::SystemParametersInfoW(action, 0, &value, 0);
  return value;
}

constexpr UINT_PTR kFieldSubclassId = 1;

}  // namespace

UpDownBox::UpDownBox(SpinEvents events)
    : events_(std::move(events)),
      arrowWidth_(::GetSystemMetrics(SM_CXVSCROLL)),
      buttonsSwapped_(::GetSystemMetrics(SM_SWAPBUTTON) != 0),
      firstDelay_(FirstDelayFor(SystemSetting(SPI_GETKEYBOARDDELAY))),
      repeatInterval_(RepeatIntervalFor(SystemSetting(SPI_GETKEYBOARDSPEED))) {
  SpinBoxModel::Links links;
  links.change = [this] { if (events_.change) events_.change(); };
  links.upClick = [this] { if (events_.upClick) events_.upClick(); };
  links.downClick = [this] { if (events_.downClick) events_.downClick(); };
  links.showText = [this](const std::string& text) {
    if (!field_) return;
    ::SetWindowTextW(field_, Wide(text).c_str());
    ::SendMessageW(field_, EM_SETSEL, 0, -1);
  };
  links.timer = [this](int ms) { RunTimer(ms); };
  links.redrawArrows = [this] { if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE); };
  model_ = std::make_unique<SpinBoxModel>(links, firstDelay_, repeatInterval_);
  backBrush_.reset(::CreateSolidBrush(backColor_));
}

bool UpDownBox::Create(HWND parent, int x, int y, int width, int height) {
  if (!Window::Create({"VelmoraUpDownBox", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN, 0,
                       x, y, width, height, parent, CLR_INVALID}))
    return false;
  return CreateField();
}

bool UpDownBox::CreateField() {
  const std::wstring text = Wide(model_->Text());
  const DWORD align = alignment_ == 1 ? ES_RIGHT : alignment_ == 2 ? ES_CENTER : ES_LEFT;
  field_ = ::CreateWindowExW(0, L"EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | align,
                             0, 0, 10, 10, hwnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!field_) return false;
  ::SetWindowSubclass(field_, &UpDownBox::FieldProcedure, kFieldSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
  ::SendMessageW(field_, WM_SETFONT,
                 reinterpret_cast<WPARAM>(font_ ? font_ : ::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  ::EnableWindow(field_, enabled_);
  Layout();
  return true;
}

void UpDownBox::SetAlignment(int alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  // An edit field takes its alignment when it is made: make it again.
  if (field_) {
    ::DestroyWindow(field_);
    field_ = nullptr;
    CreateField();
  }
}

void UpDownBox::SetBackColor(COLORREF color) {
  backColor_ = color;
  backBrush_.reset(::CreateSolidBrush(color));
  if (field_) ::InvalidateRect(field_, nullptr, TRUE);
}

void UpDownBox::SetForeColor(COLORREF color) {
  foreColor_ = color;
  if (field_) ::InvalidateRect(field_, nullptr, TRUE);
}

void UpDownBox::SetBorderStyle(int style) {
  if (!hwnd()) return;
  LONG_PTR bits = ::GetWindowLongPtrW(hwnd(), GWL_STYLE);
  bits = style == 1 ? (bits | WS_BORDER) : (bits & ~static_cast<LONG_PTR>(WS_BORDER));
  ::SetWindowLongPtrW(hwnd(), GWL_STYLE, bits);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void UpDownBox::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (field_) ::EnableWindow(field_, enabled);
  if (hwnd()) {
    ::EnableWindow(hwnd(), enabled);
    ::InvalidateRect(hwnd(), nullptr, FALSE);
  }
}

void UpDownBox::SetFont(HFONT font) {
  font_ = font;
  if (field_) ::SendMessageW(field_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  Layout();
}

void UpDownBox::SetDpi(int dpi) {
  arrowWidth_ = SystemMetricForDpi(SM_CXVSCROLL, dpi);
  Layout();
}

void UpDownBox::Layout() {
  if (!hwnd()) return;
  // At least two arrows wide and one line of text high.
  const WindowDc dc = GetWindowDc(field_);
  TEXTMETRICW metrics{};
  {
    const UniqueSelection font =
        SelectInto(dc.get().dc, font_ ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
    ::GetTextMetricsW(dc.get().dc, &metrics);
  }
  RECT client;
  ::GetClientRect(hwnd(), &client);
  const int minWidth = 2 * arrowWidth_, minHeight = metrics.tmHeight;
  if (client.right < minWidth || client.bottom < minHeight) {
    RECT window;
    ::GetWindowRect(hwnd(), &window);
    ::SetWindowPos(hwnd(), nullptr, 0, 0,
                   (window.right - window.left) + std::max(0, minWidth - static_cast<int>(client.right)),
                   (window.bottom - window.top) + std::max(0, minHeight - static_cast<int>(client.bottom)),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;  // WM_SIZE lays out again
  }
  const int strip = client.right - arrowWidth_;
  up_ = {strip, 0, client.right, client.bottom / 2};
  down_ = {strip, client.bottom / 2, client.right, client.bottom};
  // The field's text sits in the middle of its height.
  const int top = std::max(0, (static_cast<int>(client.bottom) - static_cast<int>(metrics.tmHeight)) / 2);
  if (field_) ::MoveWindow(field_, 0, top, strip, client.bottom - top, TRUE);
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void UpDownBox::Paint() {
  const UniquePaint paint = BeginPainting(hwnd());
  const HDC dc = paint.get().paint.hdc;
  if (!dc) return;
  RECT client;
  ::GetClientRect(hwnd(), &client);
  RECT fieldBand{0, 0, up_.left, client.bottom};
  ::FillRect(dc, &fieldBand, static_cast<HBRUSH>(backBrush_.get()));
  const UINT inactive = enabled_ ? 0 : DFCS_INACTIVE;
  const SpinBoxModel::Arrow pressed = model_->Pressed();
  RECT up = up_, down = down_;
  ::DrawFrameControl(dc, &up, DFC_SCROLL,
                     DFCS_SCROLLUP | inactive | (pressed == SpinBoxModel::Arrow::kUp ? DFCS_PUSHED : 0));
  ::DrawFrameControl(dc, &down, DFC_SCROLL,
                     DFCS_SCROLLDOWN | inactive | (pressed == SpinBoxModel::Arrow::kDown ? DFCS_PUSHED : 0));
}

void UpDownBox::RunTimer(int milliseconds) {
  if (timerSeam_) {
    timerSeam_(milliseconds);
    return;
  }
  if (!hwnd()) return;
  if (milliseconds > 0)
    ::SetTimer(hwnd(), kRepeatTimerId, static_cast<UINT>(milliseconds), nullptr);
  else
    ::KillTimer(hwnd(), kRepeatTimerId);
}

bool UpDownBox::StillHeld() const {
  const int key = model_->Pressed() == SpinBoxModel::Arrow::kUp ? VK_UP : VK_DOWN;
  const int primary = buttonsSwapped_ ? VK_RBUTTON : VK_LBUTTON;
  return (::GetAsyncKeyState(key) & 0x8000) || (!heldByKey_ && (::GetAsyncKeyState(primary) & 0x8000));
}

LRESULT CALLBACK UpDownBox::FieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<UpDownBox*>(data);
  switch (message) {
    case WM_CHAR:
      // Typed characters other than digits, Backspace and "-" are dropped;
      // the clipboard keys (Ctrl+C, V, X, Z, A) still reach the field.
      if (!AcceptsTypedCharacter(static_cast<uint32_t>(wParam)) &&
          !(wParam == 1 || wParam == 3 || wParam == 22 || wParam == 24 || wParam == 26))
        return 0;
      break;
    case WM_KEYDOWN:
      if (wParam == VK_UP || wParam == VK_DOWN) {
        // The key's own repeat is left to the timer.
        if (!(lParam & (1 << 30))) {
          self->heldByKey_ = true;
          self->model_->Press(wParam == VK_UP ? SpinBoxModel::Arrow::kUp : SpinBoxModel::Arrow::kDown);
        }
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wParam == VK_UP || wParam == VK_DOWN) {
        self->model_->LetGo();
        self->heldByKey_ = false;
        return 0;
      }
      break;
    case WM_SETFOCUS: {
      const LRESULT result = ::DefSubclassProc(field, message, wParam, lParam);
      ::SendMessageW(field, EM_SETSEL, 0, -1);
      return result;
    }
    case WM_KILLFOCUS:
      ::InvalidateRect(self->hwnd(), nullptr, FALSE);
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(field, &UpDownBox::FieldProcedure, kFieldSubclassId);
      break;
  }
  return ::DefSubclassProc(field, message, wParam, lParam);
}

LRESULT UpDownBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN: {
      // A quick second click is a second press: the class takes no
      // double-clicks, so the system sends it as a press.
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      const SpinBoxModel::Arrow arrow = ::PtInRect(&up_, at)     ? SpinBoxModel::Arrow::kUp
                                        : ::PtInRect(&down_, at) ? SpinBoxModel::Arrow::kDown
                                                                 : SpinBoxModel::Arrow::kNone;
      if (arrow != SpinBoxModel::Arrow::kNone && enabled_) {
        heldByKey_ = false;
        ::SetCapture(hwnd());
        model_->Press(arrow);
      }
      return 0;
    }
    case WM_LBUTTONUP:
      if (::GetCapture() == hwnd()) ::ReleaseCapture();
      model_->LetGo();
      return 0;
    case WM_CAPTURECHANGED:
      if (!heldByKey_) model_->LetGo();
      return 0;
    case WM_TIMER:
      if (wParam == kRepeatTimerId) model_->Tick(StillHeld());
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == field_ && HIWORD(wParam) == EN_CHANGE) {
        model_->TextChanged(WindowText(field_));
      }
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, enabled_ ? foreColor_ : ::GetSysColor(COLOR_GRAYTEXT));
      ::SetBkColor(dc, backColor_);
      return reinterpret_cast<LRESULT>(backBrush_.get());
    }
    case WM_SETFONT:
      SetFont(reinterpret_cast<HFONT>(wParam));
      return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora
