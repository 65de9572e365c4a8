// The desktop answering a user: real mouse and key input through the
// system's input queue on a scratch desktop, the desktop menu and its
// commands, the shell's change notifications and the watch of the folders.
// With VELMORA_PROGMAN set the same tests run with the program's windows as
// children of a stand-in "Program Manager" window of another process.
#include "common/WinText.h"
#include "iconlayer/CDIB.h"
#include "iconlayer/LayoutGrid.h"
#include "settings/IniFile.h"
#include "shell/Subclassing.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/RealInput.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace velmora {
namespace {

using namespace std::chrono_literals;
using test::At;
using test::Count;
using test::HighlightBlue;

// With VELMORA_PROGMAN set: a stand-in for the shell's desktop window, made
// by a helper process, for the program's windows to become children of.
class StandInProgramManager : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!std::getenv("VELMORA_PROGMAN")) return;
    process_ = std::make_unique<test::HelperProcess>("progman_standin.exe");
    ASSERT_TRUE(process_->Started());
    ASSERT_TRUE(test::PumpUntil([] { return FindWindowByTitle("Program Manager") != nullptr; }, 10s));
  }
  void TearDown() override { process_.reset(); }

 private:
  std::unique_ptr<test::HelperProcess> process_;
};
const auto* const standIn = ::testing::AddGlobalTestEnvironment(new StandInProgramManager);

class InteractionTest : public test::ScratchDesktopTest {
 protected:
  FrmShortcut& Layer() { return *session->IconLayer(); }
  // A point of the layer on the screen.
  POINT Screen(int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(Layer().hwnd(), &p);
    return p;
  }
  // A point inside item i's icon.
  POINT OnItem(int i, int dx = 10, int dy = 10) {
    const ItemPosition at = Layer().Positions()[static_cast<size_t>(i)];
    return Screen(at.x + dx, at.y + dy);
  }
  void Restart() {
    session.reset();
    test::PumpFor(50ms);
    Start();
  }
  // A 100 x 50 picture of one colour on the user's desktop.
  void MakePicture(const std::string& name, COLORREF colour) {
    CDIB picture;
    ASSERT_TRUE(picture.Create(100, 50, 24));
    picture.Cls(colour);
    ASSERT_TRUE(picture.Save(own + "\\" + name));
  }
  // The middle of a 100 x 50 picture's preview beside the item at `at`, in
  // the last composition (the preview goes 180 higher near the bottom).
  uint32_t PreviewMiddle(ItemPosition at) {
    RECT client;
    ::GetClientRect(bg->hwnd(), &client);
    const int top = client.bottom - at.y < 190 ? at.y - 180 : at.y;
    return At(Layer().LastComposition(), at.x + 20 + 51 + 50, top + 20 + 57 + 25);
  }
};

constexpr uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

TEST_F(InteractionTest, AClickSelectsAndHighlightsTheItem) {
  FrmShortcut& layer = Start();
  // Where the windows are: top-level here, children of the shell's desktop
  // window where there is one.
  const HWND shell = FindWindowByTitle("Program Manager");
  EXPECT_EQ(::GetAncestor(layer.hwnd(), GA_PARENT), shell ? shell : ::GetDesktopWindow());
  EXPECT_EQ(::GetAncestor(bg->hwnd(), GA_PARENT), shell ? shell : ::GetDesktopWindow());
  test::Click(OnItem(2));
  EXPECT_EQ(layer.SelectedIcon(), 2);
  EXPECT_EQ(Items().list.SelectedRow(), 2);
  EXPECT_GT(Count(layer.LastComposition(), 0, 144 + 35, 120, 20, HighlightBlue), 50);
  EXPECT_EQ(Count(layer.LastComposition(), 0, 35, 120, 20, HighlightBlue), 0);
  EXPECT_EQ(layer.Positions()[2].y, 144);  // a click does not move it
  // A release within 35 pixels of the icon's corner keeps it where it is.
  test::Drag(OnItem(3, 5, 5), OnItem(3, 30, 30));
  EXPECT_EQ(layer.SelectedIcon(), 3);
  EXPECT_EQ(layer.Positions()[3].x, 30);
  EXPECT_EQ(layer.Positions()[3].y, 216);
  // A press on empty space and a release on an item select nothing (the
  // pointer passing over the item moves the list's row to it, as hovering
  // does, but the highlight stays).
  test::Drag(Screen(600, 500), OnItem(1));
  EXPECT_EQ(layer.SelectedIcon(), 3);
  EXPECT_GT(Count(layer.LastComposition(), 0, 216 + 35, 120, 20, HighlightBlue), 50);
  EXPECT_EQ(Count(layer.LastComposition(), 0, 72 + 35, 120, 20, HighlightBlue), 0);
}

TEST_F(InteractionTest, ADragMovesTheItemToItsCellAndTheMoveOutlivesARestart) {
  FrmShortcut& layer = Start();
  test::Drag(OnItem(2), Screen(200, 150));
  EXPECT_EQ(layer.Positions()[2].x, 210);  // columns of 90 from 30
  EXPECT_EQ(layer.Positions()[2].y, 144);  // floor(150 / 70) = 2 rows of 72
  EXPECT_EQ(layer.Positions()[1].y, 72);   // nobody else moved
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempx"), "30*30*210*30*30*");
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempy"), "0*72*144*216*288*");
  EXPECT_GT(Count(layer.LastComposition(), 210, 144, 32, 32, test::Opaque), 50);
  Restart();
  EXPECT_EQ(Layer().Positions()[2].x, 210);
  EXPECT_EQ(Layer().Positions()[2].y, 144);
}

TEST_F(InteractionTest, LockIconsKeepsThemInPlaceAndOutlivesARestart) {
  Start();
  session->Menus().RightmenusClick(kMenuLockIcons);
  EXPECT_TRUE(session->Menus().IconsLocked());
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "isLock"), -1);
  test::Drag(OnItem(2), Screen(400, 300));
  EXPECT_EQ(Layer().SelectedIcon(), 2);  // selected, not moved
  EXPECT_EQ(Layer().Positions()[2].x, 30);
  Restart();
  EXPECT_TRUE(session->Menus().IconsLocked());
  test::Drag(OnItem(2), Screen(400, 300));
  EXPECT_EQ(Layer().Positions()[2].x, 30);
  session->Menus().RightmenusClick(kMenuLockIcons);
  EXPECT_FALSE(session->Menus().IconsLocked());
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "isLock"), 0);
}

TEST_F(InteractionTest, HoverOverAPictureDrawsItsPreviewBesideIt) {
  CDIB picture;
  ASSERT_TRUE(picture.Create(100, 50, 24));
  picture.Cls(RGB(255, 0, 0));
  ASSERT_TRUE(picture.Save(own + "\\red.bmp"));
  FrmShortcut& layer = Start();
  const int item = IndexOf("red.bmp");
  ASSERT_GE(item, 5);
  const ItemPosition at = layer.Positions()[static_cast<size_t>(item)];
  test::MovePointer(OnItem(item));
  EXPECT_EQ(layer.HoverIndex(), item);
  // The 100 x 50 picture, at its own size, 51 and 57 pixels into the frame,
  // the frame 20 pixels from the item's corner.
  const CDIB& shown = layer.LastComposition();
  EXPECT_EQ(At(shown, at.x + 20 + 51 + 50, at.y + 20 + 57 + 25), 0xFFFF0000u);
  EXPECT_EQ(At(shown, at.x + 20 + 51, at.y + 20 + 57), 0xFFFF0000u);
  EXPECT_NE(At(shown, at.x + 20 + 50, at.y + 20 + 57), 0xFFFF0000u);

  // Near the bottom of the layer the preview goes 180 pixels higher.
  RECT client;
  ::GetClientRect(layer.hwnd(), &client);
  const int low = (client.bottom - 100) / 72 * 72;  // a cell with less than 190 below it
  test::Drag(OnItem(item), Screen(at.x + 5, low + 5));
  ASSERT_EQ(layer.Positions()[static_cast<size_t>(item)].y, low);
  test::MovePointer(Screen(700, 200));  // away, and back onto another item first
  test::MovePointer(OnItem(0));
  test::MovePointer(OnItem(item));
  EXPECT_EQ(At(layer.LastComposition(), at.x + 20 + 51 + 50, low - 180 + 20 + 57 + 25),
            0xFFFF0000u);
  // Without the preview setting, the pointer draws nothing.
  WriteIniString(ini, "MAIN", "Imageviewer", "0");
  bg->ApplyWallpaperMode();
  test::MovePointer(OnItem(0));
  EXPECT_EQ(layer.HoverIndex(), item);
}

TEST_F(InteractionTest, APreviewGoesWhenThePointerLeavesItsItemOrAMenuOpens) {
  MakePicture("red.bmp", RGB(255, 0, 0));
  FrmShortcut& layer = Start();
  const int item = IndexOf("red.bmp");
  ASSERT_GE(item, 5);
  const ItemPosition at = layer.Positions()[static_cast<size_t>(item)];
  test::MovePointer(OnItem(item));
  ASSERT_EQ(PreviewMiddle(at), kRed);
  // Off the item onto empty space: gone with that move, as it came with one.
  test::MovePointer(Screen(700, 200));
  EXPECT_NE(PreviewMiddle(at), kRed);
  EXPECT_EQ(layer.HoverIndex(), -1);
  // Back on it: there again. Straight onto an item without a preview: gone.
  test::MovePointer(OnItem(item));
  ASSERT_EQ(PreviewMiddle(at), kRed);
  test::MovePointer(OnItem(1));
  EXPECT_NE(PreviewMiddle(at), kRed);

  // Off the layer (into the strip above it, where the background window
  // is): the system tells the layer the pointer left, and the preview goes
  // then. Wine notices on a timer of the hover time (only outside the
  // layer's rectangle, so not over a window above it); a loaded machine
  // can make that notice late, which is the system's and not the layer's.
  RECT outline;
  ::GetWindowRect(layer.hwnd(), &outline);
  ASSERT_GE(outline.top, 2);
  const POINT outside{outline.left + 600, outline.top - 2};
  test::MovePointer(OnItem(item));
  ASSERT_EQ(PreviewMiddle(at), kRed);
  UINT hoverTime = 400;
  ::SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &hoverTime, 0);
  const auto left = std::chrono::steady_clock::now();
  test::MovePointer(outside);
  ASSERT_NE(::WindowFromPoint(outside), layer.hwnd());
  EXPECT_TRUE(test::PumpUntil([&] { return PreviewMiddle(at) != kRed; }, 3s));
  std::printf("the preview went %lld ms after the pointer left the layer (hover time %u ms)\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - left).count()), hoverTime);
  EXPECT_EQ(layer.HoverIndex(), -1);

  // The item's menu, opened by a move with the right button held over the
  // item: no preview beside it.
  test::MovePointer(OnItem(item));
  ASSERT_EQ(PreviewMiddle(at), kRed);
  int menus = 0;
  bool previewBesideTheMenu = true;
  session->SetItemMenuChooser([&](HMENU) {
    if (menus++ == 0) previewBesideTheMenu = PreviewMiddle(at) == kRed;
    return 0u;  // dismissed
  });
  test::PressButton(2);
  test::MovePointer(OnItem(item, 14, 14));
  test::ReleaseButton(2);
  EXPECT_GE(menus, 1);
  EXPECT_FALSE(previewBesideTheMenu);
}

TEST_F(InteractionTest, ThePictureThatTakesADeletedItemsPlaceShowsItsPreview) {
  MakePicture("a.bmp", RGB(255, 0, 0));
  MakePicture("b.bmp", RGB(0, 0, 255));
  FrmShortcut& layer = Start();
  const int a = IndexOf("a.bmp"), b = IndexOf("b.bmp");
  ASSERT_EQ(b, a + 1);
  // b dragged onto a's cell: both there, the lower index (a) takes the pointer.
  const ItemPosition cell = layer.Positions()[static_cast<size_t>(a)];
  test::Drag(OnItem(b), OnItem(a));
  ASSERT_EQ(layer.Positions()[static_cast<size_t>(b)].y, cell.y);
  test::MovePointer(OnItem(0));
  test::MovePointer(OnItem(a));
  ASSERT_EQ(PreviewMiddle(cell), kRed);
  // a is deleted (as any program may) while the pointer rests on the cell:
  // the rebuild gives b a's index and place.
  ASSERT_TRUE(::DeleteFileW(Wide(own + "\\a.bmp").c_str()));
  ASSERT_TRUE(test::PumpUntil([&] { return IndexOf("a.bmp") < 0; }, 5s));
  ASSERT_EQ(IndexOf("b.bmp"), a);
  test::PumpFor(100ms);
  EXPECT_NE(PreviewMiddle(cell), kRed);  // the preview of the item that went
  // The pointer stirs on the cell, never leaving an item: b's preview.
  test::MovePointer(OnItem(a, 13, 13));
  EXPECT_EQ(layer.HoverIndex(), a);
  EXPECT_EQ(PreviewMiddle(cell), kBlue);
}

// What the popup menu held while it was open, read from inside its loop.
std::vector<std::wstring> menuCaptions;
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (!popup) return;
  ::KillTimer(nullptr, timer);
  const HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    menuCaptions.push_back(text);
  }
  ::EndMenu();
}

TEST_F(InteractionTest, ARightClickOnEmptySpaceShowsTheDesktopMenu) {
  Start();
  menuCaptions.clear();
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, ReadOpenMenu);
  test::Click(Screen(600, 400), 2);
  test::PumpUntil([] { return !menuCaptions.empty(); }, 3s);
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(menuCaptions, (std::vector<std::wstring>{
                              L"Refresh\tF5", L"", L"Arrange Icons By Name",
                              L"Arrange Icons By Size", L"Arrange Icons By Type",
                              L"Arrange Icons By Modified", L"", L"Auto Arrange", L"Lock Icons",
                              L"", L"Properties", L"Wallpaper Setting", L"", L"Exit"}));
  // On an item, not the desktop menu: the item's own menu from the shell,
  // with the program's entry on top.
  menuCaptions.clear();
  const UINT_PTR again = ::SetTimer(nullptr, 0, 100, ReadOpenMenu);
  test::Click(OnItem(1), 2);
  test::PumpUntil([] { return !menuCaptions.empty(); }, 3s);
  ::KillTimer(nullptr, again);
  ASSERT_GE(menuCaptions.size(), 2u);
  EXPECT_EQ(menuCaptions[0], L"&Velmora");
  EXPECT_NE(menuCaptions[1], L"Refresh\tF5");
}

TEST_F(InteractionTest, TheDesktopMenusCommands) {
  test::WriteFileBytes(own + "\\b-big.txt", std::string(2048, 'x'));
  test::WriteFileBytes(own + "\\a-small.txt", std::string(512, 'x'));
  Start();
  FrmMenus& menus = session->Menus();
  const int rebuilds = Rebuilds();
  // Arrange by size: small before big, saved, one check mark.
  test::Drag(OnItem(5), Screen(500, 300));  // a place the arrange throws away
  menus.RightmenusClick(kMenuBySize);
  EXPECT_EQ(Items().arrays.names[5], "a-small.txt");
  EXPECT_EQ(Items().arrays.names[6], "b-big.txt");
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "Arrange"), kMenuBySize);
  EXPECT_EQ(Layer().Positions()[5].x, 30);  // laid out afresh
  menus.RightmenusClick(kMenuByName);
  EXPECT_EQ(Items().arrays.names[5], "a-small.txt");
  int checked = 0;
  for (int i = kMenuByName; i <= kMenuByModified; ++i) checked += menus.Checked(i);
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(menus.Checked(kMenuByName));
  EXPECT_FALSE(menus.Checked(kMenuAutoArrange));
  EXPECT_GE(Rebuilds(), rebuilds + 2);
  // The saved order comes back with the next start.
  menus.RightmenusClick(kMenuBySize);
  Restart();
  EXPECT_TRUE(session->Menus().Checked(kMenuBySize));
  EXPECT_EQ(Items().arrays.names[5], "a-small.txt");

  // Refresh and Auto Arrange lay out afresh and rebuild.
  test::Drag(OnItem(6), Screen(500, 300));
  ASSERT_NE(Layer().Positions()[6].x, 30);
  session->Menus().RightmenusClick(kMenuAutoArrange);
  EXPECT_EQ(Layer().Positions()[6].x, 30);
  test::Drag(OnItem(6), Screen(500, 300));
  session->Menus().RightmenusClick(kMenuRefresh);
  EXPECT_EQ(Layer().Positions()[6].x, 30);

  // Properties starts the display control panel, minimized.
  std::wstring started;
  int show = -1;
  session->Menus().SetProcessStarter([&](const std::wstring& line, int how) {
    started = line;
    show = how;
  });
  session->Menus().RightmenusClick(kMenuProperties);
  EXPECT_EQ(started, L"rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,0");
  EXPECT_EQ(show, SW_SHOWMINIMIZED);

  // Exit shuts the program down.
  session->Menus().RightmenusClick(kMenuExit);
  EXPECT_TRUE(session->ShutDown());
  EXPECT_FALSE(::IsWindow(bg->hwnd()));
}

LRESULT CALLBACK PassEverythingOn(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return ::CallWindowProcA(ReplacedProcedure(w), w, m, wp, lp);
}

TEST_F(InteractionTest, TheShellsDirectoryUpdateRebuildsOnceAndStillDoesUnderAnotherFilter) {
  Start();
  const int before = Rebuilds();
  const std::wstring desktop = Wide(own);
  ::SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW, desktop.c_str(), nullptr);
  ASSERT_TRUE(test::PumpUntil([&] { return Rebuilds() > before; }, 3s));
  test::PumpFor(1500ms);
  EXPECT_EQ(Rebuilds(), before + 1);
  // A filter laid over the notification filter and taken off again, as the
  // item menu does: notifications still arrive.
  ASSERT_TRUE(SubclassWindow(bg->hwnd(), PassEverythingOn));
  ASSERT_TRUE(UnsubclassWindow(bg->hwnd()));
  ::SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW, desktop.c_str(), nullptr);
  EXPECT_TRUE(test::PumpUntil([&] { return Rebuilds() > before + 1; }, 3s));
  // Other events are not asked for.
  const int now = Rebuilds();
  ::SHChangeNotify(SHCNE_ATTRIBUTES, SHCNF_PATHW, desktop.c_str(), nullptr);
  test::PumpFor(800ms);
  EXPECT_EQ(Rebuilds(), now);
}

TEST_F(InteractionTest, FilesMadeByOthersAppearAndABurstMakesOneOrTwoRebuilds) {
  FrmShortcut& layer = Start();
  const int before = Rebuilds();
  test::WriteFileBytes(own + "\\from outside.txt", "x");
  ASSERT_TRUE(test::PumpUntil([&] { return IndexOf("from outside.txt") >= 0; }, 2s));
  EXPECT_EQ(layer.Positions().size(), 6u);
  const int single = Rebuilds() - before;
  EXPECT_GE(single, 1);
  EXPECT_LE(single, 2);
  // 200 files at once.
  const int burstFrom = Rebuilds();
  for (int i = 0; i < 200; ++i) test::WriteFileBytes(own + "\\copy " + std::to_string(i) + ".txt", "x");
  ASSERT_TRUE(test::PumpUntil([&] { return Items().Count() == 206; }, 5s));
  test::PumpFor(1500ms);
  EXPECT_LE(Rebuilds() - burstFrom, 3);
  std::printf("one file: %d rebuild(s); 200 files: %d rebuild(s)\n", single,
              Rebuilds() - burstFrom);
  // F5 rebuilds at once.
  const int f5From = Rebuilds();
  test::Click(Screen(600, 500));
  test::PressKey(VK_F5);
  EXPECT_EQ(Rebuilds(), f5From + 1);
}

TEST_F(InteractionTest, ADoubleClickOpensTheItem) {
  const std::string path = own + "\\note.velmoraopen";
  test::WriteFileBytes(path, "opened by a double-click");
  const std::string copied = app.File("opened.txt");
  SaveRegString(HKEY_CLASSES_ROOT, ".velmoraopen", "", "VelmoraOpen");
  SaveRegString(HKEY_CLASSES_ROOT, "VelmoraOpen\\shell\\open\\command", "",
                "cmd.exe /c copy \"%1\" \"" + copied + "\"");
  Start();
  const int item = IndexOf("note.velmoraopen");
  ASSERT_GE(item, 5);
  test::DoubleClick(OnItem(item));
  EXPECT_TRUE(test::PumpUntil([&] { return test::ReadFileBytes(copied) == "opened by a double-click"; }, 10s));
  // Enter opens the selected item too.
  ::DeleteFileW(Wide(copied).c_str());
  test::PressKey(VK_RETURN);
  EXPECT_TRUE(test::PumpUntil([&] { return test::FileExists(copied); }, 10s));
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ".velmoraopen");
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, "VelmoraOpen");
}

}  // namespace
}  // namespace velmora
