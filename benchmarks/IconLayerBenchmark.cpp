// Figures for the icon layer on Windows: compositions with 6, 200 and 1000
// desktop items on a 1920 x 1080 layer (nothing new, a click moving the
// selection, the pointer onto a picture with its preview), one bare
// UpdateLayeredWindow of the whole surface, an inventory rebuild of 1000
// desktop files, and the read of one shortcut's target. Run on a 1920 x 1080
// screen:
//   VELMORA_SCREEN=1920x1080x24 scripts/wine-run.sh build/win64/bin/iconlayer_benchmark.exe
#include "iconlayer/CDIB.h"
#include "iconlayer/FrmShortcut.h"
#include "shell/DesktopScan.h"
#include "common/DesktopHost.h"
#include "startup/ResourceFiles.h"
#include "startup/DesktopSession.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace velmora;

namespace {

double MillisecondsPer(int runs, const std::function<void()>& work) {
  work();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i) work();
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / runs;
}

void FillDesktop(int files) {
  const std::string desktop = GetSpecialDir(3);
  // One picture among the documents, for the hover preview.
  CDIB picture;
  picture.Create(640, 480, 24);
  picture.Cls(RGB(30, 90, 160));
  picture.Save(desktop + "\\zz picture.bmp");
  for (int i = 0; i < files; ++i) {
    const std::string path = desktop + "\\document " + std::to_string(i) + ".txt";
    const UniqueFile made(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  }
}

// The time to read one shortcut's target, over 100 shortcuts in `folder`.
double ShortcutRead(const std::string& folder) {
  std::vector<std::string> links;
  for (int i = 0; i < 100; ++i) {
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.put()))))
      return -1;
    link->SetPath(L"C:\\windows\\notepad.exe");
    const ComPtr<IPersistFile> file = QueryAs<IPersistFile>(link.get(), IID_IPersistFile);
    links.push_back(folder + "\\link " + std::to_string(i) + ".lnk");
    if (!file || FAILED(file->Save(std::wstring(links.back().begin(), links.back().end()).c_str(), TRUE)))
      return -1;
  }
  size_t next = 0;
  return MillisecondsPer(100, [&] { GetShortcutProperty(links[next++ % links.size()], "TARGET"); });
}

// The figures of one desktop of `items` items (the fixed ones included).
void MeasureItems(DesktopSession& session, int items) {
  FrmShortcutBG& bg = session.Background();
  FrmShortcut& layer = *session.IconLayer();
  FillDesktop(items - 6);
  double rebuild = 0;
  if (items == 1000) {
    rebuild = MillisecondsPer(3, [&] { bg.RefreshShortcut(false); });
  } else {
    bg.RefreshShortcut(false);
  }
  const double compose = MillisecondsPer(5, [&] { layer.LoadIcons(false); });
  // A click moving the selection from item to item: two labels change.
  int clicked = 0;
  const double click = MillisecondsPer(5, [&] {
    const int item = clicked++ % 5;
    const ItemPosition at = layer.Positions()[static_cast<size_t>(item)];
    layer.LoadIcons(true, item, false, at.x + 5, at.y + 5);
  });
  std::printf("%4zu items: recomposition with nothing new %.1f ms, click composition %.1f ms",
              session.Items().Count(), compose, click);
  if (items == 200) {
    // The pointer moving onto a picture item: the composition with its
    // preview, handed to the system.
    const int picture = static_cast<int>(session.Items().Count()) - 1;
    const double hover = MillisecondsPer(5, [&] { layer.LoadIcons(false, picture, true); });
    std::printf(", hover composition with the preview %.1f ms", hover);
  }
  if (items == 1000) {
    ShortcutList list;
    const double scan = MillisecondsPer(3, [&] { ScanDesktops(list); });
    const InventorySystem system = LiveInventorySystem();
    const double arrays = MillisecondsPer(3, [&] { BuildItemArrays(list, system); });
    const double icons = MillisecondsPer(3, [&] { layer.GainIconHdc(); });
    std::printf(", inventory rebuild %.1f ms (scan %.1f, arrays %.1f, icons %.1f)", rebuild,
                scan, arrays, icons);
  }
  std::printf("\n");
}

}  // namespace

int main() {
  const ComSession com = StartCom();
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  const std::string app = std::string(temp) + "velmora-layer-bench";
  ::CreateDirectoryA(app.c_str(), nullptr);
  RefreshResourceFiles(InstalledOrEmbeddedSource(app), app);

  auto session = std::make_unique<DesktopSession>(app);
  if (!session->Start()) return 1;
  FrmShortcut& layer = *session->IconLayer();
  for (int items : {5, 200, 1000}) MeasureItems(*session, items);

  const CDIB& surface = layer.LastComposition();
  SIZE size{surface.Width(), surface.Height()};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const WindowDc screen = GetWindowDc(nullptr);
  const double bare = MillisecondsPer(10, [&] {
    ::UpdateLayeredWindow(layer.hwnd(), screen.get().dc, nullptr, &size, surface.hdc(), &origin, 0,
                          &blend, ULW_ALPHA);
  });
  std::printf("bare UpdateLayeredWindow of the %dx%d surface: %.1f ms\n", static_cast<int>(size.cx), static_cast<int>(size.cy), bare);
  std::printf("one shortcut's target read: %.2f ms\n", ShortcutRead(app));
  session.reset();
  return 0;
}
