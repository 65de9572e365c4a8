// The fixture of the settings dialog's tests: the demo's files and
// settings, the dialog opened through the desktop menu, controls used with
// the mouse.
#pragma once

#include "common/WinText.h"
#include "settingsdialog/FrmSetting.h"
#include "shell/FrmMenus.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/RealInput.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {

// The settings dialog on a scratch desktop, and what its tests do with it.
class SettingsDialogTest : public test::ScratchDesktopTest {
 protected:
  // The demo's movie and pictures in the program's folder, and settings
  // that name them in the stored forms the dialog rewrites: every value the
  // dialog writes looks different once written ("010" is written "10", the
  // flag "10", read by its first character, "1").
  void InstallDemo() {
    test::MakeFolder(app.File("Flashs"));
    test::MakeFolder(app.File("Images"));
    for (const char* name : {"demo1.png", "demo2.png", "demo3.png"})
      ::CopyFileW(Wide(test::TestExeDirectory() + "\\..\\..\\..\\demo\\Images\\" + name).c_str(),
                  Wide(app.File("Images\\") + name).c_str(), FALSE);
    ::CopyFileW(Wide(test::TestExeDirectory() + "\\..\\..\\..\\demo\\Flashs\\Demo.swf").c_str(),
                Wide(app.File("Flashs\\Demo.swf")).c_str(), FALSE);
    test::WriteFileBytes(ini,
                         "[MAIN]\r\nWallInx=02\r\nImageviewer=10\r\nIcondisp=10\r\nisIconfader=00\r\n"
                         "Iconfadervalue=0\r\nStartup=00\r\n[FLASH]\r\nPath=Demo.swf|flashs*\r\n"
                         "CurFlash=Demo.swf|flashs*\r\nQuality=01\r\nMoviesize=00\r\n"
                         "BackgroundColor=016777215\r\nLoopCheck=00\r\n[IMAGE]\r\n"
                         "Path=demo1.png|images*demo2.png|images*demo3.png|images*\r\nSpeedvalue=010\r\n"
                         "Intervalvalue=05000\r\nLocation=00\r\nBackcolor=00\r\nBgCheck=00\r\n"
                         "ImageBgfile=\r\nIlCheck=00\r\n");
  }
  // The dialog the menu opened; a dialog that did not open ends the test
  // (gtest reports the exception as its failure) rather than reading null.
  FrmSetting& OpenThroughTheMenu() {
    AskForTheDialog();
    if (!session->Settings()) throw std::runtime_error("the settings dialog did not open from the desktop menu");
    return *session->Settings();
  }
  // "Wallpaper Setting" from the desktop menu of a right-click on empty space.
  void AskForTheDialog() {
    session->SetSettingsChoices(choices);
    session->Menus().SetMenuChooser([](HMENU) { return static_cast<int>(kMenuWallpaperSetting); });
    POINT empty{700, 500};
    ::ClientToScreen(session->IconLayer()->hwnd(), &empty);
    test::Click(empty, 2);
    test::PumpFor(std::chrono::milliseconds(200));
  }
  // A user's change of a drop-down.
  void Choose(FrmSetting& d, const char* combo, int index) {
    const HWND box = d.Control(combo);
    ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(box), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(box));
  }
  // A real click in the middle of a control.
  void ClickOn(HWND control, int button = 1) {
    RECT r;
    ::GetWindowRect(control, &r);
    test::Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, button);
  }
  // An entry of a drop-down chosen with the mouse: its arrow clicked, then
  // the entry in the list that drops.
  void PickWithTheMouse(HWND combo, int index) {
    RECT r;
    ::GetWindowRect(combo, &r);
    test::Click({r.right - 8, (r.top + r.bottom) / 2});
    ASSERT_TRUE(test::PumpUntil([&] { return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }, std::chrono::seconds(2)));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetComboBoxInfo(combo, &info));
    RECT item{};
    ASSERT_NE(::SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&item)), LB_ERR);
    POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ::ClientToScreen(info.hwndList, &at);
    test::Click(at);
  }
  void ClickAt(HWND control, int x, int y, int button = 1) {
    POINT p{x, y};
    ::ClientToScreen(control, &p);
    test::Click(p, button);
  }

  SettingsChoices choices;
  std::vector<std::string> messages;
};

}  // namespace velmora
