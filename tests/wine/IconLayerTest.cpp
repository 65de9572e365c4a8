// The desktop items end to end in this process: inventory from the test
// prefix's desktop folders, layout in its registry, the composed layer.
#include "common/WinText.h"
#include "iconlayer/FrmShortcut.h"
#include "iconlayer/ItemOpening.h"
#include "iconlayer/LayerPainter.h"
#include "iconlayer/LayoutGrid.h"
#include "settings/IniFile.h"
#include "settings/Registry.h"
#include "startup/DesktopSession.h"
#include "common/DesktopHost.h"
#include "startup/ResourceFiles.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/TestSupport.h"
#include "wallpaper/FrmShortcutBG.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <cctype>
#include <memory>

namespace velmora {
namespace {

using namespace std::chrono_literals;

using IconLayerTest = test::ScratchDesktopTest;
using test::At;
using test::Count;
using test::HighlightBlue;
using test::Lower;
using test::MakeShortcut;
using test::Opaque;

TEST_F(IconLayerTest, EmptyDesktopShowsTheFiveItemsOnTheGrid) {
  FrmShortcut& layer = Start();
  ASSERT_EQ(Items().arrays.names.size(), 5u);
  EXPECT_EQ(Items().list.Rows().size(), 5u);
  EXPECT_EQ(Items().arrays.names[0], "My Documents");
  EXPECT_EQ(Items().arrays.keys[2], "Recyle");
  EXPECT_EQ(Items().arrays.icons[4], "::{871C5380-42A0-1069-A2EA-08002B30309D}");
  ASSERT_EQ(layer.Positions().size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(layer.Positions()[i].x, 30) << i;
    EXPECT_EQ(layer.Positions()[i].y, 72 * i) << i;
  }
  // The layout went to the registry.
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempx"), "30*30*30*30*30*");
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempy"), "0*72*144*216*288*");
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "DesktopC"), 5);
  RECT client;
  ::GetClientRect(layer.hwnd(), &client);
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "ScaleY"), client.bottom);

  const CDIB& picture = layer.LastComposition();
  ASSERT_FALSE(picture.Empty());
  EXPECT_EQ(picture.Width(), client.right);
  for (int i = 0; i < 5; ++i) {
    const int y = 72 * i;
    // A label of light, opaque text under each item.
    EXPECT_GT(Count(picture, 0, y + 35, 120, 28, Opaque), 20) << "label " << i;
    // The whole 32 x 50 item box takes the pointer (alpha above 0).
    EXPECT_EQ(Count(picture, 30, y, 32, 50, [](uint32_t p) { return (p >> 24) == 0; }), 0) << i;
  }
  // An icon for every fixed item, the shell's own where its file has none
  // (Wine's Explorer.exe carries no icon for My Computer).
  for (int i = 0; i < 5; ++i) EXPECT_GT(Count(picture, 30, 72 * i, 32, 32, Opaque), 50) << "icon " << i;
  // Empty space is nearly transparent but present: alpha 1.
  EXPECT_EQ(At(picture, 600, 500) >> 24, 1u);
  EXPECT_EQ(Count(picture, 200, 0, 600, 700, [](uint32_t p) { return (p >> 24) != 1; }), 0);
  // No Program Manager here: the layer is a top-level layered window.
  EXPECT_EQ(::GetAncestor(layer.hwnd(), GA_PARENT), ::GetDesktopWindow());
  EXPECT_TRUE(::GetWindowLongPtrA(layer.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(::IsWindowVisible(layer.hwnd()));
}

TEST_F(IconLayerTest, FirstItemIsHighlightedOnlyWithThePreviewOn) {
  FrmShortcut& layer = Start();  // "Imageviewer" absent: 1
  EXPECT_EQ(layer.SelectedIcon(), 0);
  const int on = Count(layer.LastComposition(), 0, 35, 120, 20, HighlightBlue);
  EXPECT_GT(on, 50);
  EXPECT_EQ(Count(layer.LastComposition(), 0, 72 + 35, 120, 20, HighlightBlue), 0);
  WriteIniString(ini, "MAIN", "Imageviewer", "0");
  bg->ApplyWallpaperMode();  // reads the setting again
  layer.LoadIcons(false);
  EXPECT_EQ(Count(layer.LastComposition(), 0, 35, 120, 20, HighlightBlue), 0);
  // A click highlights the clicked item whatever the setting.
  layer.LoadIcons(true, 2, false, 30 + 10, 144 + 10);  // a click on the item, which stays
  EXPECT_EQ(layer.SelectedIcon(), 2);
  EXPECT_GT(Count(layer.LastComposition(), 0, 144 + 35, 120, 20, HighlightBlue), 50);
  EXPECT_EQ(Count(layer.LastComposition(), 0, 35, 120, 20, HighlightBlue), 0);
}

TEST_F(IconLayerTest, LayerOpacityFollowsTheFaderSettings) {
  WriteIniString(ini, "MAIN", "isIconfader", "1");
  WriteIniString(ini, "MAIN", "Iconfadervalue", "0");
  FrmShortcut& layer = Start();
  EXPECT_EQ(layer.LayerOpacity(), 0);  // invisible, but there and composed
  EXPECT_TRUE(::IsWindowVisible(layer.hwnd()));
  EXPECT_GT(Count(layer.LastComposition(), 30, 0, 32, 32, Opaque), 50);
  WriteIniString(ini, "MAIN", "Iconfadervalue", "300");
  layer.LoadIcons(false);
  EXPECT_EQ(layer.LayerOpacity(), 255);  // out of range: the nearest end
  WriteIniString(ini, "MAIN", "Iconfadervalue", "-7");
  layer.LoadIcons(false);
  EXPECT_EQ(layer.LayerOpacity(), 0);
  WriteIniString(ini, "MAIN", "Iconfadervalue", "90");
  layer.LoadIcons(false);
  EXPECT_EQ(layer.LayerOpacity(), 90);
  WriteIniString(ini, "MAIN", "isIconfader", "0");
  layer.LoadIcons(false);
  EXPECT_EQ(layer.LayerOpacity(), 255);
}

TEST_F(IconLayerTest, DesktopEntriesOfBothFolders) {
  test::WriteFileBytes(own + "\\README", "no dot");
  test::WriteFileBytes(own + "\\hidden.txt", "hidden");
  ::SetFileAttributesA((own + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  test::WriteFileBytes(own + "\\same.txt", "mine");
  test::WriteFileBytes(common + "\\same.txt", "everyone's");
  ::CreateDirectoryA((own + "\\Projects").c_str(), nullptr);
  const std::string folderTarget = app.path();
  // A file type whose registered icon is "%1": the file gives its own icon.
  SaveRegString(HKEY_CLASSES_ROOT, ".velmoratool", "", " VelmoraTool");
  SaveRegString(HKEY_CLASSES_ROOT, "VelmoraTool\\DefaultIcon", "", "%1");
  const std::string program = app.File("helper.velmoratool");
  test::WriteFileBytes(program, "tool");
  ASSERT_TRUE(MakeShortcut(own + "\\Folder.lnk", folderTarget));
  ASSERT_TRUE(MakeShortcut(own + "\\Editor v2.0.lnk", program));
  FrmShortcut& layer = Start();

  const auto& items = Items().arrays;
  ASSERT_EQ(items.names.size(), 5u + 7);
  // Rows: special items, then everyone's desktop, then the user's.
  EXPECT_EQ(Lower(Items().list.Cell(5, 0)), Lower(common + "\\same.txt"));
  int sameCount = 0;
  for (const auto& n : items.names) sameCount += n == "same.txt";
  EXPECT_EQ(sameCount, 2);

  const int readme = IndexOf("README");
  ASSERT_GE(readme, 0);
  EXPECT_EQ(Items().list.Cell(readme, 1), "README");
  EXPECT_EQ(Items().list.Cell(readme, 2), "6");
  EXPECT_EQ(Items().list.Cell(readme, 3).size(), 10u);  // yyyy/mm/dd
  EXPECT_EQ(Items().list.Cell(readme, 3)[4], '/');
  EXPECT_EQ(items.icons[readme], GetSpecialDir(1) + "\\shell32.dll,70");  // no registered type
  EXPECT_GE(IndexOf("hidden.txt"), 0);

  const int projects = IndexOf("Projects");
  ASSERT_GE(projects, 0);
  EXPECT_EQ(Items().list.Cell(projects, 1), "dir");
  EXPECT_EQ(Items().list.Cell(projects, 3), "Projects");
  EXPECT_EQ(items.icons[projects], "dir" + own + "\\Projects");

  const int folder = IndexOf("Folder.lnk");
  ASSERT_GE(folder, 0);
  EXPECT_EQ(Lower(items.icons[folder]), Lower("dir" + folderTarget));
  const int editor = IndexOf("Editor v2.0.lnk");
  ASSERT_GE(editor, 0);
  EXPECT_EQ(Lower(items.icons[editor]), Lower(program));  // "%1": the target itself

  // Every item has a place and the layer shows the new ones too.
  ASSERT_EQ(layer.Positions().size(), items.names.size());
  EXPECT_EQ(layer.Positions()[9].x, 30);  // ten to a column on this screen
  EXPECT_EQ(layer.Positions()[9].y, 648);
  EXPECT_EQ(layer.Positions()[10].x, 120);
  EXPECT_EQ(layer.Positions()[10].y, 0);
  EXPECT_NE(layer.IconHandle(projects), nullptr);
}

// Forgets the places remembered by item, as a registry from before them.
void ForgetAllRememberedPlaces() { ::RegDeleteTreeA(HKEY_CURRENT_USER, kLayoutsRegKey); }

TEST_F(IconLayerTest, SavedEdgesAreUsedAndTheUsersPlacesOutliveNewFiles) {
  Start();
  // A layout the user made, from before places were remembered by item: the
  // same size and count, other places.
  ForgetAllRememberedPlaces();
  SaveRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempx", "300*390*480*570*660*");
  SaveRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempy", "10*20*30*40*50*");
  FrmShortcut& layer = *session->IconLayer();
  layer.MarkLayoutDirty();
  layer.LoadIcons(false);
  EXPECT_EQ(layer.Positions()[3].x, 570);
  EXPECT_EQ(layer.Positions()[3].y, 40);
  EXPECT_GT(Count(layer.LastComposition(), 570, 40 + 35, 90, 20, Opaque), 10);

  // A new desktop file: every item stays where the user put it; the new one
  // takes the first free cell of the default grid.
  test::WriteFileBytes(own + "\\new.txt", "x");
  bg->RefreshShortcut(true);
  ASSERT_EQ(layer.Positions().size(), 6u);
  EXPECT_EQ(layer.Positions()[3].x, 570);
  EXPECT_EQ(layer.Positions()[3].y, 40);
  EXPECT_EQ(layer.Positions()[5].x, 30);
  EXPECT_EQ(layer.Positions()[5].y, 0);
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "DesktopC"), 6);
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempx"), "300*390*480*570*660*30*");
  // Gone again: the others keep their places.
  ASSERT_TRUE(::DeleteFileW(Wide(own + "\\new.txt").c_str()));
  bg->RefreshShortcut(true);
  ASSERT_EQ(layer.Positions().size(), 5u);
  EXPECT_EQ(layer.Positions()[4].x, 660);
}

// The pixels of the 11 x 11 arrow square of an item.
std::vector<uint32_t> ArrowSquare(const CDIB& composition, ItemPosition at) {
  std::vector<uint32_t> pixels;
  for (int y = at.y + 21; y < at.y + 32; ++y)
    for (int x = at.x; x < at.x + 11; ++x) pixels.push_back(At(composition, x, y));
  return pixels;
}

int InkDifference(const CDIB& composition, ItemPosition at, const std::string& text);

TEST_F(IconLayerTest, ShortcutArrowOnlyOnShortcutsAndOnlyWhenAskedFor) {
  ASSERT_TRUE(MakeShortcut(own + "\\Docs.lnk", app.path()));
  FrmShortcut& layer = Start();  // "Icondisp" absent: 1
  const int docs = IndexOf("Docs.lnk");
  ASSERT_GE(docs, 5);
  std::vector<std::vector<uint32_t>> asked;
  for (int i : {0, 1, 2, docs}) asked.push_back(ArrowSquare(layer.LastComposition(), layer.Positions()[i]));
  WriteIniString(ini, "MAIN", "Icondisp", "0");
  layer.LoadIcons(false);
  for (int k = 0; k < 3; ++k)  // the fixed items never get one
    EXPECT_TRUE(ArrowSquare(layer.LastComposition(), layer.Positions()[k]) == asked[k]) << k;
  const std::vector<uint32_t> without = ArrowSquare(layer.LastComposition(), layer.Positions()[docs]);
  int changed = 0;
  for (size_t p = 0; p < without.size(); ++p) changed += without[p] != asked[3][p];
  EXPECT_GT(changed, 20);  // the shortcut's arrow, drawn only when asked for
  // The label loses ".lnk".
  const ItemPosition at = layer.Positions()[docs];
  EXPECT_LT(InkDifference(layer.LastComposition(), at, "Docs"), 10);
  EXPECT_GT(InkDifference(layer.LastComposition(), at, "Docs.lnk"), 20);
}

// Pixels of a composition's label box whose ink (alpha above half) differs
// from the ink of `text` drawn alone as a label.
int InkDifference(const CDIB& composition, ItemPosition at, const std::string& text) {
  CDIB alone;
  alone.Create(FrmShortcut::kLabelWidth + 8, 48, 32);
  {
    const SurfaceCanvas canvas(alone);
    LabelPainter("Tahoma", 8.0f, FrmShortcut::kLabelWidth).Draw(canvas.graphics(), text, 4, 4, false);
  }
  int differing = 0;
  for (int y = 0; y < alone.Height(); ++y)
    for (int x = 0; x < alone.Width(); ++x) {
      const bool inkAlone = (At(alone, x, y) >> 24) > 128;
      const bool inkShown = (At(composition, at.x - 34 + x, at.y + 31 + y) >> 24) > 128;
      differing += inkAlone != inkShown;
    }
  return differing;
}

TEST_F(IconLayerTest, AnItemNamedOutsideTheAnsiCodePageIsListedDrawnAndOpened) {
  const std::string name = "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82.velmoraopen";  // Отчёт
  const std::string path = own + "\\" + name;
  test::WriteFileBytes(path, "the report");
  // Opening such a file copies it next to the test, through the command line.
  const std::string copied = app.File("opened.txt");
  SaveRegString(HKEY_CLASSES_ROOT, ".velmoraopen", "", "VelmoraOpen");
  SaveRegString(HKEY_CLASSES_ROOT, "VelmoraOpen\\shell\\open\\command", "",
                "cmd.exe /c copy \"%1\" \"" + copied + "\"");
  FrmShortcut& layer = Start();
  const int i = IndexOf(name);
  ASSERT_GE(i, 0);
  EXPECT_EQ(Items().list.Cell(i, 0), path);
  EXPECT_EQ(Items().list.Cell(i, 1), "velmoraopen");

  const ItemPosition at = layer.Positions()[i];
  const int right = InkDifference(layer.LastComposition(), at, name);
  const int asQuestionMarks = InkDifference(layer.LastComposition(), at, "?????.velmoraopen");
  EXPECT_LT(right, 10);
  EXPECT_GT(asQuestionMarks, 40);

  const auto command =
      OpenCommandFor({i + 1, Items().list.Cell(i, 0), Items().list.Cell(i, 1), false},
                     {}, GetSpecialDir(0), app.path());
  ASSERT_TRUE(command.has_value());
  RunOpenCommand(layer.hwnd(), *command);
  EXPECT_TRUE(test::PumpUntil([&] { return test::ReadFileBytes(copied) == "the report"; }, 10s));
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ".velmoraopen");
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, "VelmoraOpen");
}

TEST_F(IconLayerTest, ACorruptSavedLayoutIsRepaired) {
  Start();
  FrmShortcut& layer = *session->IconLayer();
  const size_t n = layer.Positions().size();
  ASSERT_GE(n, 5u);
  const std::string gridX = GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempx");
  const std::string gridY = GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempy");
  auto load = [&](const std::vector<int32_t>& xs, const std::vector<int32_t>& ys) {
    ForgetAllRememberedPlaces();  // the saved edges decide, as before places were remembered
    SaveRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempx", FormatPositions(xs));
    SaveRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempy", FormatPositions(ys));
    layer.MarkLayoutDirty();
    layer.LoadIcons(false);
  };
  // Everything in one corner: the whole grid comes back, in the registry too.
  load(std::vector<int32_t>(n, 0), std::vector<int32_t>(n, 0));
  EXPECT_EQ(layer.Positions()[4].y, 288);
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempx"), gridX);
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempy"), gridY);
  // Items far off the layer go back to their grid places; the others stay.
  std::vector<int32_t> xs(n, 300), ys(n);
  for (size_t i = 0; i < n; ++i) ys[i] = static_cast<int32_t>(10 * i);
  xs[1] = -4000;
  xs[4] = 90000;
  load(xs, ys);
  EXPECT_EQ(layer.Positions()[0].x, 300);
  EXPECT_EQ(layer.Positions()[1].x, 30);
  EXPECT_EQ(layer.Positions()[1].y, 72);
  EXPECT_EQ(layer.Positions()[4].x, 30);
  EXPECT_EQ(layer.Positions()[4].y, 288);
  xs[1] = xs[4] = 30;
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempx"), FormatPositions(xs));
  EXPECT_GT(Count(layer.LastComposition(), 30, 288 + 35, 90, 20, Opaque), 10);
  // A list one short.
  load(xs, std::vector<int32_t>(ys.begin(), ys.end() - 1));
  EXPECT_EQ(layer.Positions()[0].x, 30);
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempy"), gridY);
}

TEST_F(IconLayerTest, AFolderThatCannotBeWrittenStillGivesTheLayerItsPictures) {
  // The refreshed pictures cannot be written where folders of their names
  // stand: the program's own copies are used.
  for (const char* name : {"Blank.png", "Shortcut.png", "Imageviewer.png"}) {
    ::DeleteFileW(Wide(app.File(name)).c_str());
    ASSERT_TRUE(test::MakeFolder(app.File(name)));
  }
  EXPECT_LT(RefreshResourceFiles(InstalledOrEmbeddedSource(app.path()), app.path()), 4);
  ASSERT_TRUE(MakeShortcut(own + "\\Docs.lnk", app.path()));
  FrmShortcut& layer = Start();
  // Empty space still takes the pointer.
  EXPECT_EQ(At(layer.LastComposition(), 600, 500) >> 24, 1u);
  EXPECT_EQ(Count(layer.LastComposition(), 200, 0, 600, 700, [](uint32_t p) { return (p >> 24) == 0; }), 0);
  // The shortcut arrow is drawn.
  const ItemPosition at = layer.Positions()[IndexOf("Docs.lnk")];
  const int with = Count(layer.LastComposition(), at.x, at.y + 21, 11, 11, [](uint32_t) { return true; });
  auto arrowSum = [&] {
    int n = 0;
    for (int y = at.y + 21; y < at.y + 32; ++y)
      for (int x = at.x; x < at.x + 11; ++x) n += At(layer.LastComposition(), x, y);
    return n;
  };
  const int shown = arrowSum();
  WriteIniString(ini, "MAIN", "Icondisp", "0");
  layer.LoadIcons(false);
  EXPECT_NE(arrowSum(), shown);
  EXPECT_EQ(with, 121);
}

}  // namespace
}  // namespace velmora
