#include "tests/wine/RealInput.h"

#include "tests/wine/TestSupport.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

void Send(INPUT input) {
  ::SendInput(1, &input, sizeof input);
  PumpFor(20ms);  // the messages the input made are handled
}

INPUT Mouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return input;
}

}  // namespace

void MovePointer(POINT screen) {
  INPUT input = Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
  input.mi.dx = MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
  Send(input);
}

void PressButton(int button) {
  Send(Mouse(button == 2 ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN));
}

void ReleaseButton(int button) {
  Send(Mouse(button == 2 ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP));
}

void Click(POINT screen, int button) {
  MovePointer(screen);
  PressButton(button);
  ReleaseButton(button);
}

void DoubleClick(POINT screen) {
  MovePointer(screen);
  for (int i = 0; i < 2; ++i) {
    INPUT down = Mouse(MOUSEEVENTF_LEFTDOWN), up = Mouse(MOUSEEVENTF_LEFTUP);
    ::SendInput(1, &down, sizeof down);
    ::SendInput(1, &up, sizeof up);
  }
  PumpFor(50ms);
}

void Drag(POINT from, POINT to) {
  MovePointer(from);
  PressButton(1);
  for (int step = 1; step <= 4; ++step)
    MovePointer({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
  ReleaseButton(1);
}

void KeyDown(WORD virtualKey) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  Send(input);
}

void KeyUp(WORD virtualKey) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  Send(input);
}

void PressKey(WORD virtualKey) {
  KeyDown(virtualKey);
  KeyUp(virtualKey);
}

void TypeText(const wchar_t* text) {
  for (const wchar_t* c = text; *c; ++c) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = *c;
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    Send(input);
    input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    Send(input);
  }
}

}  // namespace velmora::test
