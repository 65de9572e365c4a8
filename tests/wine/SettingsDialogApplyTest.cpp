// The settings dialog applying what the user changed, with the mouse: a
// change on the page it opens on, on a page shown for the first time and on
// a page left for another; Cancel; a save that fails.
#include "common/WinText.h"
#include "settings/EntryList.h"
#include "settings/IniFile.h"
#include "tests/wine/SettingsDialogFixture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace velmora {
namespace {

using namespace std::chrono_literals;

// The message boxes shown while a timer runs, found from inside their own
// loop: each counted once with its text, then answered with the Enter key.
std::set<HWND> boxesSeen;
std::vector<std::wstring> boxTexts;
BOOL CALLBACK AddStaticText(HWND child, LPARAM texts) {
  wchar_t cls[32] = {}, text[1024] = {};
  ::GetClassNameW(child, cls, 32);
  if (::lstrcmpiW(cls, L"Static") == 0 && ::GetWindowTextW(child, text, 1024) > 0)
    *reinterpret_cast<std::wstring*>(texts) += text;
  return TRUE;
}
void CALLBACK AnswerMessageBoxes(HWND, UINT, UINT_PTR, DWORD) {
  const HWND box = ::FindWindowW(L"#32770", L"Velmora");
  if (!box || !::IsWindowVisible(box)) return;
  if (!boxesSeen.insert(box).second) {  // the key did not reach it: closed as Enter would
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return;
  }
  std::wstring text;
  ::EnumChildWindows(box, AddStaticText, reinterpret_cast<LPARAM>(&text));
  boxTexts.push_back(text);
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_RETURN;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, keys, sizeof keys[0]);
}

TEST_F(SettingsDialogTest, OkAppliesAChangeOnThePageItOpensOnAndCancelDoesNot) {
  InstallDemo();
  Start();
  // The icons made see-through at 100 with the mouse, then Cancel: nothing.
  const std::string bytes = test::ReadFileBytes(ini);
  AskForTheDialog();
  ASSERT_NE(session->Settings(), nullptr);
  FrmSetting& cancelled = *session->Settings();
  ASSERT_TRUE(cancelled.PageVisible(FrmSetting::kAdvancedTab));
  ClickOn(cancelled.Control("CheckGO1"));  // "Adjust shortcut icon transparent."
  PickWithTheMouse(cancelled.Control("iconFader"), 3);
  EXPECT_EQ(WindowText(cancelled.Control("iconFader")), "100");
  ClickOn(cancelled.Control("Cancel"));
  EXPECT_EQ(session->Settings(), nullptr);
  EXPECT_EQ(test::ReadFileBytes(ini), bytes);
  EXPECT_EQ(session->IconLayer()->LayerOpacity(), 255);
  // The same with Ok: written, and the layer takes it.
  AskForTheDialog();
  ASSERT_NE(session->Settings(), nullptr);
  FrmSetting& dialog = *session->Settings();
  ClickOn(dialog.Control("CheckGO1"));
  PickWithTheMouse(dialog.Control("iconFader"), 3);
  ASSERT_TRUE(dialog.ApplyEnabled(FrmSetting::kOkButton));
  ClickOn(dialog.Control("Ok"));
  EXPECT_EQ(session->Settings(), nullptr);
  EXPECT_EQ(GetIniString(ini, "MAIN", "isIconfader", ""), "1");
  EXPECT_EQ(GetIniString(ini, "MAIN", "Iconfadervalue", ""), "100");
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", ""), "02");  // no wallpaper page confirmed
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Speedvalue", ""), "010");  // nor another page written
  EXPECT_EQ(session->IconLayer()->LayerOpacity(), 100);
  // The see-through layer still takes the right-click on empty space (its
  // nearly transparent fill is not lost to the opacity): the desktop menu
  // opens the dialog again, which shows them.
  AskForTheDialog();
  ASSERT_NE(session->Settings(), nullptr);
  const DialogOptions shown = session->Settings()->Options();
  EXPECT_TRUE(shown.iconFader);
  EXPECT_EQ(shown.iconFaderValue, "100");
}

TEST_F(SettingsDialogTest, TheMonitorsChoiceIsStoredAndShownAgain) {
  InstallDemo();
  Start();
  AskForTheDialog();
  ASSERT_NE(session->Settings(), nullptr);
  FrmSetting& dialog = *session->Settings();
  EXPECT_EQ(WindowText(dialog.Control("Monitors")), "Each monitor");  // the default
  PickWithTheMouse(dialog.Control("Monitors"), 1);
  EXPECT_EQ(WindowText(dialog.Control("Monitors")), "Span");
  ASSERT_TRUE(dialog.ApplyEnabled(FrmSetting::kOkButton));
  ClickOn(dialog.Control("Ok"));
  EXPECT_EQ(session->Settings(), nullptr);
  EXPECT_EQ(GetIniString(ini, "MAIN", "Monitors", ""), "1");
  EXPECT_EQ(bg->WallpaperPlaces().size(), 1u);
  AskForTheDialog();
  ASSERT_NE(session->Settings(), nullptr);
  EXPECT_EQ(session->Settings()->Options().monitors, 1);
  EXPECT_EQ(WindowText(session->Settings()->Control("Monitors")), "Span");
}

TEST_F(SettingsDialogTest, AChangeOnAPageFirstVisitedOrLeftForAnotherIsApplied) {
  InstallDemo();
  Start();
  // The Flash page, shown for the first time: its quality chosen, Ok.
  AskForTheDialog();
  ASSERT_NE(session->Settings(), nullptr);
  FrmSetting& flash = *session->Settings();
  ClickOn(flash.Control("OptionsTab0"));
  ASSERT_TRUE(flash.PageVisible(FrmSetting::kFlashTab));
  PickWithTheMouse(flash.Control("Quality"), 0);  // "Low"
  ClickOn(flash.Control("Ok"));
  EXPECT_EQ(session->Settings(), nullptr);
  EXPECT_EQ(GetIniString(ini, "FLASH", "Quality", ""), "0");
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", ""), "1");
  // The Slide Show page the same way.
  AskForTheDialog();
  ASSERT_NE(session->Settings(), nullptr);
  FrmSetting& slides = *session->Settings();
  ClickOn(slides.Control("OptionsTab1"));
  ASSERT_TRUE(slides.PageVisible(FrmSetting::kSlideTab));
  ClickOn(slides.Control("IlCheck"));
  ClickOn(slides.Control("Ok"));
  EXPECT_EQ(session->Settings(), nullptr);
  EXPECT_EQ(GetIniString(ini, "IMAGE", "IlCheck", ""), "1");
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", ""), "2");
  // A change on the Slide Show page, another on the Advanced page, Ok
  // there: both are written, and the wallpaper kind stays.
  AskForTheDialog();
  ASSERT_NE(session->Settings(), nullptr);
  FrmSetting& both = *session->Settings();
  ClickOn(both.Control("OptionsTab1"));
  ClickOn(both.Control("IlCheck"));
  ClickOn(both.Control("OptionsTab2"));
  ClickOn(both.Control("CheckGO0"));  // "Display shortcut icon."
  ClickOn(both.Control("Ok"));
  EXPECT_EQ(session->Settings(), nullptr);
  EXPECT_EQ(GetIniString(ini, "IMAGE", "IlCheck", ""), "0");
  EXPECT_EQ(GetIniString(ini, "MAIN", "Icondisp", ""), "0");
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", ""), "2");
}

TEST_F(SettingsDialogTest, AFailedSaveIsToldOnceAndTheDialogStaysOpenWithItsValues) {
  InstallDemo();
  Start();
  AskForTheDialog();
  ASSERT_NE(session->Settings(), nullptr);
  FrmSetting& dialog = *session->Settings();
  ClickOn(dialog.Control("CheckGO1"));
  ClickOn(dialog.Control("OptionsTab1"));
  ClickOn(dialog.Control("IlCheck"));
  // A folder where Wallpaper.ini was: every write of the file fails.
  ASSERT_TRUE(::DeleteFileW(Wide(ini).c_str()));
  ASSERT_TRUE(test::MakeFolder(ini));
  boxesSeen.clear();
  boxTexts.clear();
  const UINT_PTR answering = ::SetTimer(nullptr, 0, 50, AnswerMessageBoxes);
  ClickOn(dialog.Control("Ok"));
  test::PumpFor(1s);
  ASSERT_EQ(boxesSeen.size(), 1u);  // one message for all the keys of both pages
  EXPECT_EQ(boxTexts[0].rfind(L"The settings could not be saved to Wallpaper.ini.", 0), 0u)
      << Utf8(boxTexts[0]);
  EXPECT_NE(boxTexts[0].find(L"folder"), std::wstring::npos) << Utf8(boxTexts[0]);
  // Still open with the user's values, Ok still there to try again.
  ASSERT_EQ(session->Settings(), &dialog);
  EXPECT_TRUE(::IsWindowVisible(dialog.hwnd()));
  EXPECT_TRUE(dialog.Options().iconFader);
  EXPECT_TRUE(dialog.Options().interleave);
  EXPECT_TRUE(dialog.ApplyEnabled(FrmSetting::kOkButton));
  // Once per press.
  ClickOn(dialog.Control("Ok"));
  test::PumpFor(1s);
  EXPECT_EQ(boxesSeen.size(), 2u);
  ASSERT_EQ(session->Settings(), &dialog);
  // The folder gone: the next Ok saves it all and closes.
  ASSERT_TRUE(::RemoveDirectoryW(Wide(ini).c_str()));
  ClickOn(dialog.Control("Ok"));
  test::PumpFor(300ms);
  ::KillTimer(nullptr, answering);
  EXPECT_EQ(session->Settings(), nullptr);
  EXPECT_EQ(boxesSeen.size(), 2u);
  EXPECT_EQ(GetIniString(ini, "MAIN", "isIconfader", ""), "1");
  EXPECT_EQ(GetIniString(ini, "IMAGE", "IlCheck", ""), "1");
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", ""), "2");
}

// What the dialog writes reaches the wallpaper and the layer through the
// settings both share: the file is read again only when it changed, not for
// every composition or every start of a wallpaper.
TEST_F(SettingsDialogTest, WhatTheDialogWritesIsSeenWithoutAReadOfTheFilePerComposition) {
  InstallDemo();
  FrmShortcut& layer = Start();
  AskForTheDialog();
  ASSERT_NE(session->Settings(), nullptr);
  FrmSetting& dialog = *session->Settings();
  ClickOn(dialog.Control("CheckGO1"));
  PickWithTheMouse(dialog.Control("iconFader"), 3);  // 100
  ClickOn(dialog.Control("OptionsTab0"));
  PickWithTheMouse(dialog.Control("Quality"), 0);  // "Low"
  ClickOn(dialog.Control("Ok"));
  ASSERT_EQ(session->Settings(), nullptr);
  test::PumpFor(200ms);
  // The movie plays at the quality chosen; the layer is drawn at 100.
  EXPECT_EQ(bg->DesktopFlash().Quality(), 0);
  EXPECT_TRUE(bg->DesktopFlash().IsPlaying());
  EXPECT_EQ(layer.LayerOpacity(), 100);
  const uint64_t reads = IniFileReads();
  for (int i = 0; i < 30; ++i) {
    layer.LoadIcons(false);
    layer.LoadIcons(false, 5, true, 40, 40);  // a hover composition
    layer.LoadIcons(true, 1, false, 40, 80);  // a click composition
  }
  bg->ApplyWallpaperMode();
  EXPECT_EQ(IniFileReads(), reads) << "the file was read again without a change";
  EXPECT_EQ(layer.LayerOpacity(), 100);
  EXPECT_EQ(bg->DesktopFlash().Quality(), 0);
  // Changed by another program: the next composition reads it and shows it.
  test::WriteFileBytes(ini, "[MAIN]\r\nWallInx=1\r\nisIconfader=1\r\nIconfadervalue=50\r\n");
  layer.LoadIcons(false);
  EXPECT_EQ(layer.LayerOpacity(), 50);
  EXPECT_GT(IniFileReads(), reads);
}

// The lists are stored as soon as a file is added or deleted: a store that
// fails is told once each time, as Ok tells it.
TEST_F(SettingsDialogTest, AListThatCannotBeStoredIsToldOnceForEachChange) {
  InstallDemo();
  Start();
  choices.file = [&](const std::string&) { return std::optional<std::string>(app.File("Images\\demo1.png")); };
  choices.message = [&](const std::string& text, const std::string& title) {
    messages.push_back(title + ": " + text);
  };
  FrmSetting& dialog = OpenThroughTheMenu();
  dialog.PressTab(FrmSetting::kSlideTab);
  ASSERT_EQ(dialog.SlideList().Rows().size(), 3u);
  ASSERT_TRUE(::DeleteFileW(Wide(ini).c_str()));
  ASSERT_TRUE(test::MakeFolder(ini));
  dialog.AddFile(true);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("Velmora: The settings could not be saved to Wallpaper.ini.", 0), 0u)
      << messages[0];
  EXPECT_NE(messages[0].find("folder"), std::string::npos) << messages[0];
  EXPECT_EQ(dialog.SlideList().Rows().size(), 4u);  // the row stays for another try
  dialog.SlideList().Select(0);
  dialog.DeleteRow(true);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1], messages[0]);
  // With the file back the next change is stored, without a word.
  ASSERT_TRUE(::RemoveDirectoryW(Wide(ini).c_str()));
  dialog.SlideList().Select(0);
  dialog.DeleteRow(true);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(ReadEntryList(GetIniString(ini, "IMAGE", "Path", "")).size(), 2u);
}

}  // namespace
}  // namespace velmora
