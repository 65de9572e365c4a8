// Draws the program's own controls in each of their states, the skinned
// splash window, an empty skinned dialog frame and (given the demo folder)
// the settings dialog on each page, and writes each as a PNG
// file into the folder given on the command line (docs/gallery through
// scripts/make-gallery.sh). The pictures are what the windows show on the
// screen; the parts a window's shape cuts away are transparent.
#include "common/Dpi.h"
#include "common/Handles.h"
#include "controls/RgbPictureGdi.h"
#include "controls/UpDownBox.h"
#include "controls/ucCustomButton.h"
#include "pictures/PngWriter.h"
#include "settingsdialog/FrmSetting.h"
#include "settingsdialog/SkinnedFrame.h"
#include "startup/FrmWaiting.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace velmora {
namespace {

constexpr COLORREF kBody = RGB(240, 242, 246);  // the dialog's body behind the controls

void Pump(int milliseconds) {
  const DWORD end = ::GetTickCount() + static_cast<DWORD>(milliseconds);
  MSG msg;
  while (static_cast<int>(end - ::GetTickCount()) > 0) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(10);
  }
}

// The top-level window as the screen shows it, its cut-away parts clear.
bool Capture(HWND window, const std::string& path) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(200);
  RECT place;
  ::GetWindowRect(window, &place);
  const int w = place.right - place.left, h = place.bottom - place.top;
  void* bits = nullptr;
  const UniqueGdiObject surface = MakeDibSection(w, h, bits);
  const UniqueMemoryDc memory(::CreateCompatibleDC(nullptr));
  if (!surface || !memory) return false;
  {
    const UniqueSelection selected = SelectInto(memory.get(), surface.get());
    const WindowDc screen = GetWindowDc(window);
    ::BitBlt(memory.get(), 0, 0, w, h, screen.get().dc, 0, 0, SRCCOPY);
    ::GdiFlush();
  }
  const UniqueGdiObject region(::CreateRectRgn(0, 0, 0, 0));
  const bool shaped = ::GetWindowRgn(window, static_cast<HRGN>(region.get())) != ERROR;
  std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = pixels[y * w + x];
      uint8_t* out = &rgba[(static_cast<size_t>(y) * w + x) * 4];
      out[0] = p >> 16 & 0xFF;
      out[1] = p >> 8 & 0xFF;
      out[2] = p & 0xFF;
      out[3] = !shaped || ::PtInRegion(static_cast<HRGN>(region.get()), x, y) ? 255 : 0;
    }
  const bool written = swf::WritePng(path, w, h, rgba.data());
  std::printf("%s %s (%dx%d)\n", written ? "wrote" : "could not write", path.c_str(), w, h);
  return written;
}

LRESULT CALLBACK PanelProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return ::DefWindowProcW(w, m, wp, lp);
}

// A plain panel in the dialog's body colour for controls to sit on.
UniqueWindow Panel(int width, int height) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PanelProcedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hbrBackground = ::CreateSolidBrush(kBody);  // lives as long as the class
  wc.lpszClassName = L"VelmoraGalleryPanel";
  ::RegisterClassW(&wc);
  return UniqueWindow(::CreateWindowExW(0, L"VelmoraGalleryPanel", L"", WS_POPUP | WS_VISIBLE, 40, 40,
                                        width, height, nullptr, nullptr, wc.hInstance, nullptr));
}

UniqueGdiObject DialogFont() {
  LOGFONTW face{};
  face.lfHeight = -11;  // 8 points at 96 DPI
  wcscpy_s(face.lfFaceName, L"Tahoma");
  return UniqueGdiObject(::CreateFontIndirectW(&face));
}

bool Buttons(const std::string& folder) {
  const UniqueWindow panel = Panel(450, 50);
  const UniqueGdiObject font = DialogFont();
  std::vector<std::unique_ptr<ucCustomButton>> buttons;
  const char* captions[] = {"Apply", "Apply", "Apply", "Wallpaper Setting"};
  const int widths[] = {88, 88, 88, 120};
  int x = 10;
  for (int i = 0; i < 4; ++i) {
    buttons.push_back(std::make_unique<ucCustomButton>(ButtonEvents{}));
    buttons.back()->Create(panel.get(), x, 12, widths[i], 25, captions[i]);
    buttons.back()->SetFont(static_cast<HFONT>(font.get()));
    x += widths[i] + 12;
  }
  ::SendMessageW(buttons[1]->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));  // down
  buttons[2]->SetEnabled(false);
  const bool written = Capture(panel.get(), folder + "\\buttons.png");
  ::ReleaseCapture();
  return written;
}

bool SpinBoxes(const std::string& folder) {
  const UniqueWindow panel = Panel(300, 46);
  const UniqueGdiObject font = DialogFont();
  std::vector<std::unique_ptr<UpDownBox>> boxes;
  for (int i = 0; i < 3; ++i) {
    boxes.push_back(std::make_unique<UpDownBox>(SpinEvents{}));
    boxes.back()->Create(panel.get(), 10 + i * 96, 12, 80, 22);
    boxes.back()->SetFont(static_cast<HFONT>(font.get()));
    boxes.back()->SetTimerSeam([](int) {});
    boxes.back()->SetMax(200);
    boxes.back()->SetValue(i == 0 ? 42 : i == 1 ? 120 : 5);
  }
  const RECT up = boxes[1]->UpArrow();
  ::SendMessageW(boxes[1]->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(up.left + 2, up.top + 2));
  boxes[2]->SetEnabled(false);
  ::SetFocus(nullptr);
  const bool written = Capture(panel.get(), folder + "\\spinboxes.png");
  ::ReleaseCapture();
  return written;
}

// The settings dialog on each of its pages, over the demo's settings in
// `demoFolder` (its Wallpaper.ini, Flashs\ and Images\).
bool SettingsPages(const std::string& folder, const std::string& demoFolder) {
  SettingsStore settings(demoFolder);
  FrmSetting dialog(settings, SettingsLinks{});
  if (!dialog.Open(nullptr)) return false;
  bool ok = Capture(dialog.hwnd(), folder + "\\settings-advanced.png");
  const char* names[] = {"flash", "slides", "advanced", "help"};
  for (int tab : {FrmSetting::kFlashTab, FrmSetting::kSlideTab, FrmSetting::kHelpTab}) {
    dialog.PressTab(tab);
    Pump(tab == FrmSetting::kSlideTab ? 1500 : 600);  // a slide fades in, the movie plays
    ok = Capture(dialog.hwnd(), folder + "\\settings-" + names[tab] + ".png") && ok;
  }
  dialog.Close();
  return ok;
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  using namespace velmora;
  // As the program does: the windows are drawn at the display's scale.
  DeclareDpiAwareness();
  const std::string folder = argc > 1 ? argv[1] : ".";
  bool ok = Buttons(folder) && SpinBoxes(folder);
  {
    FrmWaiting splash([] { return false; });
    ok = splash.Show() && Capture(splash.hwnd(), folder + "\\splash.png") && ok;
  }
  {
    SkinnedFrame frame("", "Velmora Settings");
    ok = frame.Show(nullptr, 60, 60, 420, 300) && Capture(frame.hwnd(), folder + "\\frame.png") && ok;
  }
  if (argc > 2) ok = SettingsPages(folder, argv[2]) && ok;
  return ok ? 0 : 1;
}
