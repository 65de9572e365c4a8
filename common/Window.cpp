#include "common/Window.h"

namespace velmora {

Window::~Window() { Destroy(); }

Window* Window::FromHandle(HWND hwnd) {
  return reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

bool Window::Create(const CreateParams& p) {
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (!::GetClassInfoExA(instance, p.className, &existing)) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = p.classStyle;
    wc.lpfnWndProc = &Window::StaticWndProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(1));
    // The class brush lives as long as the process, like the class itself.
    wc.hbrBackground = p.background == CLR_INVALID ? nullptr : ::CreateSolidBrush(p.background);
    wc.lpszClassName = p.className;
    if (!::RegisterClassExA(&wc)) return false;
  }
  ::CreateWindowExA(p.exStyle, p.className, p.title, p.style, p.x, p.y, p.width, p.height,
                    p.parentOrOwner, nullptr, instance, this);
  return hwnd_ != nullptr;
}

void Window::Destroy() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  Window* self = FromHandle(hwnd);
  if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  const LRESULT result = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnDestroyed();
  }
  return result;
}

}  // namespace velmora
