// Input through the system's own input queue (SendInput), as a user's mouse
// and keyboard give it: the windows get real input messages, with hit
// testing, capture, activation and double-click timing.
#pragma once

#include <windows.h>

namespace velmora::test {

void MovePointer(POINT screen);
// Button: 1 left, 2 right.
void PressButton(int button);
void ReleaseButton(int button);
void Click(POINT screen, int button = 1);
void DoubleClick(POINT screen);
// Press and release, the pointer moving from `from` to `to` in steps.
void Drag(POINT from, POINT to);
void PressKey(WORD virtualKey);
void KeyDown(WORD virtualKey);
void KeyUp(WORD virtualKey);
// Characters typed as a keyboard types them (each one a key press).
void TypeText(const wchar_t* text);

}  // namespace velmora::test
