// The settings dialog on a scratch desktop: opened through the desktop
// menu and the item menu, its defaults, what each page's apply writes,
// Cancel, the right button on Ok, the start-up value, the lists, the
// background picture, the slide preview, Esc and the closing.
#include "common/WinText.h"
#include "controls/RgbPicture.h"
#include "settings/IniFile.h"
#include "settings/Registry.h"
#include "settingsdialog/FrmSetting.h"
#include "shell/FrmMenus.h"
#include "shell/ItemContextMenu.h"
#include "tests/wine/SettingsDialogFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace velmora {
namespace {

using namespace std::chrono_literals;

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Every key the dialog may write, as the file holds it.
std::map<std::string, std::string> StoredKeys(const std::string& ini) {
  std::map<std::string, std::string> keys;
  const std::vector<std::pair<const char*, std::vector<const char*>>> all = {
      {"MAIN", {"WallInx", "Imageviewer", "Icondisp", "isIconfader", "Iconfadervalue", "Startup"}},
      {"FLASH", {"CurFlash", "Quality", "Moviesize", "BackgroundColor", "LoopCheck", "Path"}},
      {"IMAGE", {"Speedvalue", "Intervalvalue", "Location", "Backcolor", "BgCheck", "ImageBgfile",
                 "IlCheck", "Path"}}};
  for (const auto& [section, names] : all)
    for (const char* key : names)
      keys[std::string(section) + "/" + key] = GetIniString(ini, section, key, "<absent>");
  return keys;
}

std::vector<std::string> Changed(const std::map<std::string, std::string>& before,
                                 const std::map<std::string, std::string>& after) {
  std::vector<std::string> changed;
  for (const auto& [key, value] : after)
    if (before.at(key) != value) changed.push_back(key);
  return changed;
}

// The middle pixel of the slide preview, taken on a timer.
const CDIB* sampled = nullptr;
std::vector<uint32_t> samples;
void CALLBACK SampleThePreview(HWND, UINT, UINT_PTR, DWORD) {
  const CDIB& shown = *sampled;
  samples.push_back(*reinterpret_cast<const uint32_t*>(shown.lpBits() + (shown.Height() / 2) * shown.BytesPerScanline() +
                                                       shown.Width() / 2 * 4) & 0xFFFFFF);
}

TEST_F(SettingsDialogTest, OpensFromTheMenusOnceWithTheDefaultsAndTheSkinsShape) {
  Start();
  FrmSetting& dialog = OpenThroughTheMenu();
  // A fresh settings file: the defaults.
  const DialogOptions o = dialog.Options();
  EXPECT_TRUE(o.startup && o.iconDisplay && o.imageViewer);
  EXPECT_FALSE(o.iconFader);
  EXPECT_FALSE(::IsWindowEnabled(dialog.Control("iconFader")));
  EXPECT_EQ(o.quality, 1);
  EXPECT_EQ(o.movieSize, 0);
  EXPECT_EQ(o.flashColour, 0xFFFFFFu);
  EXPECT_FALSE(o.loop);
  EXPECT_EQ(o.speed, 30);
  EXPECT_EQ(o.interval, 10);
  EXPECT_EQ(o.location, 0);
  EXPECT_EQ(o.slideColour, 0u);
  EXPECT_FALSE(o.backgroundImage);
  EXPECT_FALSE(o.interleave);
  // It opens on the Advanced page with nothing to apply.
  EXPECT_TRUE(dialog.PageVisible(FrmSetting::kAdvancedTab));
  EXPECT_FALSE(dialog.PageVisible(FrmSetting::kFlashTab));
  EXPECT_FALSE(dialog.ApplyEnabled(FrmSetting::kOkButton));
  // Its shape is the skin's.
  const UniqueGdiObject region(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(::GetWindowRgn(dialog.hwnd(), static_cast<HRGN>(region.get())), COMPLEXREGION);
  EXPECT_FALSE(::PtInRegion(static_cast<HRGN>(region.get()), 0, 0));
  EXPECT_TRUE(::PtInRegion(static_cast<HRGN>(region.get()), FrmSetting::kWidth / 2, 5));
  // Asked again, through the item menu's own entry: the same dialog.
  const HWND first = dialog.hwnd();
  session->SetItemMenuChooser([](HMENU) { return kOwnMenuEntryId; });
  test::Click([&] {
    const ItemPosition at = session->IconLayer()->Positions()[0];
    POINT p{at.x + 10, at.y + 10};
    ::ClientToScreen(session->IconLayer()->hwnd(), &p);
    return p;
  }(), 2);
  test::PumpFor(200ms);
  ASSERT_NE(session->Settings(), nullptr);
  EXPECT_EQ(session->Settings()->hwnd(), first);
  // Refresh closes it.
  session->Menus().RightmenusClick(kMenuRefresh);
  EXPECT_EQ(session->Settings(), nullptr);
}

TEST_F(SettingsDialogTest, EachPageAppliesExactlyItsKeysAndCancelWritesNothing) {
  InstallDemo();
  Start();
  FrmSetting& dialog = OpenThroughTheMenu();
  auto before = StoredKeys(ini);
  // Nothing chosen with a page button: Ok writes nothing.
  dialog.PressApply(FrmSetting::kApplyButton);
  EXPECT_TRUE(Changed(before, StoredKeys(ini)).empty());

  dialog.PressTab(FrmSetting::kFlashTab);
  EXPECT_FALSE(dialog.ApplyEnabled(FrmSetting::kOkButton));  // a page press disables Ok
  Choose(dialog, "Quality", 0);
  EXPECT_TRUE(dialog.ApplyEnabled(FrmSetting::kOkButton));
  dialog.PressApply(FrmSetting::kApplyButton);
  auto after = StoredKeys(ini);
  EXPECT_EQ(Changed(before, after),
            (std::vector<std::string>{"FLASH/BackgroundColor", "FLASH/CurFlash", "FLASH/LoopCheck",
                                      "FLASH/Moviesize", "FLASH/Quality", "MAIN/WallInx"}));
  EXPECT_EQ(after["MAIN/WallInx"], "1");
  EXPECT_EQ(after["FLASH/Quality"], "0");
  EXPECT_EQ(test::Lower(after["FLASH/CurFlash"]), test::Lower("Demo.swf|" + app.File("Flashs\\") + "*"));

  before = after;
  dialog.PressTab(FrmSetting::kSlideTab);
  dialog.PressApply(FrmSetting::kApplyButton);
  after = StoredKeys(ini);
  EXPECT_EQ(Changed(before, after),
            (std::vector<std::string>{"IMAGE/Backcolor", "IMAGE/BgCheck", "IMAGE/IlCheck",
                                      "IMAGE/Intervalvalue", "IMAGE/Location", "IMAGE/Path",
                                      "IMAGE/Speedvalue", "MAIN/WallInx"}));
  EXPECT_EQ(after["IMAGE/Intervalvalue"], "5000");
  EXPECT_EQ(after["MAIN/WallInx"], "2");

  // The Advanced and Quick Help pages leave WallInx; Advanced writes its
  // keys after a change.
  before = after;
  dialog.PressTab(FrmSetting::kAdvancedTab);
  ClickOn(dialog.Control("CheckGO0"));
  EXPECT_TRUE(dialog.AdvancedChanged());
  dialog.PressTab(FrmSetting::kHelpTab);
  dialog.PressApply(FrmSetting::kApplyButton);
  after = StoredKeys(ini);
  EXPECT_EQ(Changed(before, after),
            (std::vector<std::string>{"MAIN/Icondisp", "MAIN/Iconfadervalue", "MAIN/Imageviewer",
                                      "MAIN/Startup", "MAIN/isIconfader"}));
  EXPECT_EQ(after["MAIN/Icondisp"], "0");

  // Cancel after a change writes nothing at all.
  const std::string bytes = test::ReadFileBytes(ini);
  dialog.PressTab(FrmSetting::kSlideTab);
  Choose(dialog, "ImageLocation", 1);
  dialog.PressApply(FrmSetting::kCancelButton);
  EXPECT_EQ(session->Settings(), nullptr);
  EXPECT_EQ(test::ReadFileBytes(ini), bytes);
}

TEST_F(SettingsDialogTest, OkWithTheRightButtonDoesNothingAndTheLeftAppliesAndCloses) {
  InstallDemo();
  Start();
  FrmSetting& dialog = OpenThroughTheMenu();
  dialog.PressTab(FrmSetting::kSlideTab);
  Choose(dialog, "ImageLocation", 1);
  const auto before = StoredKeys(ini);
  const HWND ok = dialog.Control("Ok");
  ClickOn(ok, 2);
  ASSERT_NE(session->Settings(), nullptr);
  EXPECT_TRUE(Changed(before, StoredKeys(ini)).empty());
  // While the dialog is open the desktop slideshow holds still.
  EXPECT_TRUE(bg->SlideshowStopped());
  ClickOn(ok, 1);
  EXPECT_EQ(session->Settings(), nullptr);
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Location", ""), "1");
  // Closed: the wallpaper runs again from the stored settings, and the
  // items are above it.
  EXPECT_FALSE(bg->SlideshowStopped());
  HWND below = ::GetWindow(session->IconLayer()->hwnd(), GW_HWNDNEXT);
  while (below && !::IsWindowVisible(below)) below = ::GetWindow(below, GW_HWNDNEXT);
  EXPECT_EQ(below, bg->hwnd());
}

TEST_F(SettingsDialogTest, StartupWritesAndRemovesTheUsersRunValue) {
  Start();
  FrmSetting& dialog = OpenThroughTheMenu();
  wchar_t module[MAX_PATH];
  ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::string exe = Utf8(module);
  exe = exe.substr(exe.rfind('\\') + 1);
  const std::string name = exe.substr(0, exe.rfind('.'));
  ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, name.c_str());
  SaveRegString(HKEY_LOCAL_MACHINE, kRunKey, name, "C:\\old\\" + exe);  // an older switch's value
  // Startup is on by default: turned off on the page the dialog opens on,
  // the values go at once.
  ClickOn(dialog.Control("CheckGO3"));
  dialog.PressApply(FrmSetting::kApplyButton);
  EXPECT_EQ(GetIniString(ini, "MAIN", "Startup", ""), "0");
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kRunKey, name), "");
  EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kRunKey, name), "");
  // The page chosen again, nothing new: they stay gone.
  dialog.PressTab(FrmSetting::kAdvancedTab);
  dialog.PressApply(FrmSetting::kApplyButton);
  EXPECT_EQ(GetIniString(ini, "MAIN", "Startup", ""), "0");
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kRunKey, name), "");
  EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kRunKey, name), "");
  // On again: the current user's value, quoted.
  ClickOn(dialog.Control("CheckGO3"));
  dialog.PressApply(FrmSetting::kApplyButton);
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kRunKey, name), "\"" + app.path() + "\\" + exe + "\"");
  ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, name.c_str());
}

TEST_F(SettingsDialogTest, TheBatterySettingShowsTheStoredOneAndIsWrittenOnApply) {
  Start();
  FrmSetting& dialog = OpenThroughTheMenu();
  const HWND box = dialog.Control("BatteryCheck");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(::IsWindowVisible(box)) << "on the page the dialog opens on";
  EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED) << "on by default";
  ClickOn(box);
  dialog.PressApply(FrmSetting::kApplyButton);
  EXPECT_EQ(GetIniString(ini, "MAIN", "BatteryRest", ""), "0");
  ClickOn(box);
  dialog.PressApply(FrmSetting::kApplyButton);
  EXPECT_EQ(GetIniString(ini, "MAIN", "BatteryRest", ""), "1");
}

TEST_F(SettingsDialogTest, TheListsAddDeleteRefuseAndReorder) {
  InstallDemo();
  Start();
  std::optional<std::string> nextFile;
  choices.file = [&](const std::string&) { return nextFile; };
  choices.message = [&](const std::string& text, const std::string& title) {
    messages.push_back(title + ": " + text);
  };
  FrmSetting& dialog = OpenThroughTheMenu();
  dialog.PressTab(FrmSetting::kSlideTab);
  MediaListView& slides = dialog.SlideList();
  ASSERT_EQ(slides.Rows().size(), 3u);
  EXPECT_EQ(test::Lower(slides.Rows()[0].folder), test::Lower(app.File("images\\")));
  EXPECT_EQ(slides.SizeCellOf(0), KilobyteCell(test::ReadFileBytes(app.File("Images\\demo1.png")).size()));
  // Add cancelled: nothing changes, nothing is written.
  const std::string bytes = test::ReadFileBytes(ini);
  dialog.AddFile(true);
  EXPECT_EQ(test::ReadFileBytes(ini), bytes);
  // A name the list cannot hold is refused with a message naming it.
  nextFile = "C:\\pictures\\star*.png";
  dialog.AddFile(true);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("star*.png"), std::string::npos);
  EXPECT_EQ(slides.Rows().size(), 3u);
  // Delete with three rows removes the selected one and stores the list
  // with the folders spelled out.
  slides.Select(1);
  dialog.DeleteRow(true);
  EXPECT_EQ(slides.Rows().size(), 2u);
  EXPECT_EQ(test::Lower(GetIniString(ini, "IMAGE", "Path", "")),
            test::Lower("demo1.png|" + app.File("images\\") + "*demo3.png|" + app.File("images\\") + "*"));
  // With two rows it shows the message and keeps both.
  dialog.DeleteRow(true);
  EXPECT_EQ(slides.Rows().size(), 2u);
  EXPECT_EQ(messages.back(), "Prompt: Velmora must save 2 records.");
  // A file added, then the second row dragged onto the first with the mouse.
  nextFile = app.File("Images\\demo2.png");
  dialog.AddFile(true);
  ASSERT_EQ(slides.Rows().size(), 3u);
  RECT second{}, first{};
  ListView_GetItemRect(slides.hwnd(), 1, &second, LVIR_LABEL);
  ListView_GetItemRect(slides.hwnd(), 0, &first, LVIR_LABEL);
  POINT from{second.left + 10, (second.top + second.bottom) / 2}, to{first.left + 10, (first.top + first.bottom) / 2};
  ::ClientToScreen(slides.hwnd(), &from);
  ::ClientToScreen(slides.hwnd(), &to);
  test::MovePointer(from);
  test::PressButton(1);
  for (int step = 1; step <= 6; ++step) test::MovePointer({from.x + step, from.y + step * 2});
  test::MovePointer(to);
  test::ReleaseButton(1);
  EXPECT_EQ(slides.Rows()[0].name, "demo3.png");
  EXPECT_EQ(slides.Rows()[1].name, "demo1.png");
  // Applied, the order is stored.
  dialog.PressApply(FrmSetting::kApplyButton);
  EXPECT_EQ(test::Lower(GetIniString(ini, "IMAGE", "Path", "")).substr(0, 10), "demo3.png|");
}

TEST_F(SettingsDialogTest, TheBackgroundPictureAndTheSlidePreview) {
  InstallDemo();
  Start();
  choices.file = [&](const std::string&) { return std::optional<std::string>(app.File("Images\\demo2.png")); };
  FrmSetting& dialog = OpenThroughTheMenu();
  dialog.PressTab(FrmSetting::kSlideTab);
  // The preview fades slides in (speed 10: 26 frames): its pixels change
  // from frame to frame. The fade runs inside its own message waits, so
  // the samples are taken by a timer, from inside them.
  sampled = &dialog.SlidePreview().Drawing();
  samples.clear();
  const UINT_PTR sampler = ::SetTimer(nullptr, 0, 25, SampleThePreview);
  test::PumpFor(700ms);
  ::KillTimer(nullptr, sampler);
  EXPECT_GE(std::set<uint32_t>(samples.begin(), samples.end()).size(), 5u);
  EXPECT_GT(dialog.PreviewCycle().FramesDrawn(), 5);
  // Another page stops it.
  dialog.PressTab(FrmSetting::kAdvancedTab);
  test::PumpFor(100ms);
  const int stoppedAt = dialog.PreviewCycle().FramesDrawn();
  test::PumpFor(500ms);
  EXPECT_EQ(dialog.PreviewCycle().FramesDrawn(), stoppedAt);
  EXPECT_TRUE(dialog.PreviewCycle().Stopped());

  // BgCheck with an empty path stores "0".
  dialog.PressTab(FrmSetting::kSlideTab);
  ClickOn(dialog.Control("BgCheck"));
  dialog.PressApply(FrmSetting::kApplyButton);
  EXPECT_EQ(GetIniString(ini, "IMAGE", "BgCheck", ""), "0");
  // With a picture: "\BgTemp.bmp" at the background window's size.
  ClickOn(dialog.Control("BgCheck"));
  dialog.ChooseBackgroundImage();
  dialog.PressApply(FrmSetting::kApplyButton);
  EXPECT_EQ(GetIniString(ini, "IMAGE", "BgCheck", ""), "1");
  const std::optional<RgbPicture> background = DecodeRgbPicture(test::ReadFileBytes(app.File("BgTemp.bmp")));
  ASSERT_TRUE(background);
  RECT client;
  ::GetClientRect(bg->hwnd(), &client);
  EXPECT_EQ(background->width, client.right);
  EXPECT_EQ(background->height, client.bottom);
}

TEST_F(SettingsDialogTest, EscClosesTheDialogAndTheWallpaperResumes) {
  InstallDemo();
  Start();
  FrmSetting& dialog = OpenThroughTheMenu();
  dialog.PressTab(FrmSetting::kFlashTab);
  ::SetForegroundWindow(dialog.hwnd());
  ::SetFocus(dialog.FlashList().hwnd());
  test::PumpFor(100ms);
  EXPECT_TRUE(dialog.FlashPreview().IsPlaying());
  test::PressKey(VK_ESCAPE);
  test::PumpFor(100ms);
  EXPECT_EQ(session->Settings(), nullptr);
  EXPECT_FALSE(bg->SlideshowStopped());  // WallInx 2 as stored: the slideshow again
}

}  // namespace
}  // namespace velmora
