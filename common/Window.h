// Base of the program's windows: registers the class once, creates the
// window, and routes its messages to the C++ object that owns it.
//
// The object is attached to its HWND in exactly one place (WM_NCCREATE) and
// found again from it with FromHandle; nothing else keeps window pointers.
#pragma once

#include <windows.h>

namespace velmora {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

  // The object owning a window created through this class, or null.
  static Window* FromHandle(HWND hwnd);

 protected:
  struct CreateParams {
    const char* className;
    const char* title;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
    HWND parentOrOwner;
    COLORREF background;  // CLR_INVALID: no class background brush
    UINT classStyle = 0;  // CS_DBLCLKS for windows that take double-clicks
  };

  // Registers the class (once per name) and creates the window.
  bool Create(const CreateParams& params);

  // Destroys the window if it still exists.
  void Destroy();

  // The window's own messages; the default passes them on to DefWindowProc.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Runs after WM_NCDESTROY, when the handle is gone.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};

}  // namespace velmora
