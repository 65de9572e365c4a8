// The shell's own menu of a desktop item and files dropped on the desktop,
// on a scratch desktop: menus read and chosen through the test seams before
// they would be tracked, drops posted to the layer as the system posts them.
#include "common/Handles.h"
#include "common/PathText.h"
#include "common/WinText.h"
#include "shell/FrmMenus.h"
#include "shell/ItemContextMenu.h"
#include "shell/Subclassing.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/RealInput.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace velmora {
namespace {

using namespace std::chrono_literals;

// Every command id of a menu and its submenus.
void CollectIds(HMENU menu, std::vector<UINT>& ids) {
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    if (const HMENU sub = ::GetSubMenu(menu, i))
      CollectIds(sub, ids);
    else if (const UINT id = ::GetMenuItemID(menu, i); id != 0 && id != static_cast<UINT>(-1))
      ids.push_back(id);
  }
}

// Counts the task allocator's blocks made and freed while it is registered:
// the item-id lists of the program and the shell come from there.
class CountingSpy : public IMallocSpy {
 public:
  long live = 0;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IMallocSpy) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // a static object
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
  void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
    if (actual) ++live;
    return actual;
  }
  void* STDMETHODCALLTYPE PreFree(void* request, BOOL spied) override {
    if (request && spied) --live;
    return request;
  }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
    *newRequest = request;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
  void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}
};

// Answers the shell's question before a delete, from inside its loop.
void CALLBACK AnswerYes(HWND, UINT, UINT_PTR, DWORD) {
  if (const HWND box = ::FindWindowW(L"#32770", nullptr)) ::PostMessageW(box, WM_COMMAND, IDYES, 0);
}

class ShellItemsTest : public test::DropDesktopTest {
 protected:
  POINT OnItem(int i) {
    const ItemPosition at = Layer().Positions()[static_cast<size_t>(i)];
    POINT p{at.x + 10, at.y + 10};
    ::ClientToScreen(Layer().hwnd(), &p);
    return p;
  }
  // The item's menu through a right-click, `choose` picking from it.
  void RightClickItem(const std::string& name, std::function<UINT(HMENU)> choose) {
    const int item = IndexOf(name);
    ASSERT_GE(item, 0) << name;
    session->SetItemMenuChooser(std::move(choose));
    test::Click(OnItem(item), 2);
    test::PumpFor(100ms);
  }
};

TEST_F(ShellItemsTest, AFileItemsMenuIsTheShellsWithTheOwnEntryOnTop) {
  test::WriteFileBytes(own + "\\letter.txt", "dear");
  Start();
  std::vector<std::wstring> captions;
  std::vector<UINT> ids;
  const int rebuilds = Rebuilds();
  RightClickItem("letter.txt", [&](HMENU menu) {
    captions = test::Captions(menu);
    CollectIds(menu, ids);
    return 0u;  // dismissed
  });
  ASSERT_GE(captions.size(), 3u);
  EXPECT_EQ(captions[0], L"Velmora");
  EXPECT_NE(std::find(captions.begin(), captions.end(), L"Delete"), captions.end());
  // No shell command can be taken for the own entry.
  EXPECT_EQ(ids.front(), kOwnMenuEntryId);
  for (size_t i = 1; i < ids.size(); ++i) {
    EXPECT_GE(ids[i], 1u);
    EXPECT_LE(ids[i], 0x7FFFu);
  }
  // Dismissed: nothing rebuilt, the item still there.
  EXPECT_EQ(Rebuilds(), rebuilds);
  EXPECT_GE(IndexOf("letter.txt"), 0);
}

TEST_F(ShellItemsTest, TheOwnEntryOpensTheSettingsAndRunsNoShellCommand) {
  const std::string path = own + "\\keep.txt";
  test::WriteFileBytes(path, "kept");
  Start();
  int settings = 0, commands = 0;
  ItemMenuLinks links;
  links.properties = [&] { ++settings; };
  links.commandDone = [&] { ++commands; };
  links.chooser = [](HMENU) { return kOwnMenuEntryId; };
  EXPECT_TRUE(ShellContextMenu(Layer().hwnd(), path, POINT{50, 50}, links));
  EXPECT_EQ(settings, 1);
  EXPECT_EQ(commands, 0);
  EXPECT_EQ(test::ReadFileBytes(path), "kept");
  // Dismissed: false, and nothing at all.
  links.chooser = [](HMENU) { return 0u; };
  EXPECT_FALSE(ShellContextMenu(Layer().hwnd(), path, POINT{50, 50}, links));
  EXPECT_EQ(settings + commands, 1);
  // Texts the shell cannot parse show no menu.
  int shown = 0;
  links.chooser = [&](HMENU) { ++shown; return 0u; };
  EXPECT_FALSE(ShellContextMenu(Layer().hwnd(), own + "\\not there.txt", POINT{50, 50}, links));
  EXPECT_FALSE(ShellContextMenu(Layer().hwnd(), "", POINT{50, 50}, links));
  EXPECT_EQ(shown, 0);
}

TEST_F(ShellItemsTest, TheShellsDeleteRemovesTheFileAndTheItemLeavesTheLayer) {
  const std::string path = own + "\\old notes.txt";
  test::WriteFileBytes(path, "to go");
  Start();
  const size_t items = Layer().Positions().size();
  const int rebuilds = Rebuilds();
  // Whatever the shell asks before deleting is answered yes.
  const UINT_PTR confirm = ::SetTimer(nullptr, 0, 100, AnswerYes);
  RightClickItem("old notes.txt", [](HMENU menu) { return test::IdOf(menu, L"Delete"); });
  ::KillTimer(nullptr, confirm);
  EXPECT_FALSE(test::FileExists(path));
  EXPECT_GT(Rebuilds(), rebuilds);
  EXPECT_EQ(IndexOf("old notes.txt"), -1);
  EXPECT_EQ(Layer().Positions().size(), items - 1);
}

TEST_F(ShellItemsTest, MyComputerGetsTheShellsMenuToo) {
  Start();
  const auto& rows = Items();
  int computer = -1;
  for (size_t i = 0; i < rows.Count(); ++i)
    if (test::Lower(rows.RowText(i)) == "::{20d04fe0-3aea-1069-a2d8-08002b30309d}") computer = static_cast<int>(i);
  ASSERT_GE(computer, 0);
  std::vector<std::wstring> captions;
  session->SetItemMenuChooser([&](HMENU menu) {
    captions = test::Captions(menu);
    return 0u;
  });
  test::Click(OnItem(computer), 2);
  test::PumpFor(100ms);
  ASSERT_GE(captions.size(), 2u);
  EXPECT_EQ(captions[0], L"Velmora");
}

TEST_F(ShellItemsTest, AfterTheMenuTheProceduresAreAsBeforeAndNotificationsStillArrive) {
  test::WriteFileBytes(own + "\\a.txt", "a");
  Start();
  const LONG_PTR bgProcedure = ::GetWindowLongPtrW(bg->hwnd(), GWLP_WNDPROC);
  const LONG_PTR layerProcedure = ::GetWindowLongPtrW(Layer().hwnd(), GWLP_WNDPROC);
  LONG_PTR during = 0;
  RightClickItem("a.txt", [&](HMENU) {
    during = ::GetWindowLongPtrW(Layer().hwnd(), GWLP_WNDPROC);
    return 0u;
  });
  EXPECT_NE(during, layerProcedure);  // the forwarding was in place
  EXPECT_EQ(::GetWindowLongPtrW(Layer().hwnd(), GWLP_WNDPROC), layerProcedure);
  EXPECT_EQ(::GetWindowLongPtrW(bg->hwnd(), GWLP_WNDPROC), bgProcedure);
  EXPECT_NE(::GetPropA(bg->hwnd(), "OldWndProc"), nullptr);  // the notification filter
  const int before = Rebuilds();
  ::SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW, Wide(own).c_str(), nullptr);
  EXPECT_TRUE(test::PumpUntil([&] { return Rebuilds() > before; }, 3s));
}

TEST_F(ShellItemsTest, TwoHundredMenusLeaveNoItemIdListBehind) {
  const std::string path = own + "\\many.txt";
  test::WriteFileBytes(path, "m");
  Start();
  ItemMenuLinks links;
  links.chooser = [](HMENU) { return 0u; };
  for (int i = 0; i < 5; ++i) ShellContextMenu(Layer().hwnd(), path, POINT{50, 50}, links);
  static CountingSpy spy;
  spy.live = 0;
  ASSERT_EQ(::CoRegisterMallocSpy(&spy), S_OK);
  for (int i = 0; i < 200; ++i) {
    ShellContextMenu(Layer().hwnd(), path, POINT{50, 50}, links);
    ShellContextMenu(Layer().hwnd(), "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", POINT{50, 50}, links);
  }
  test::PumpFor(100ms);
  const long live = spy.live;
  ::CoRevokeMallocSpy();
  std::printf("task allocator blocks left after 400 menus: %ld\n", live);
  EXPECT_LT(live, 20);  // one list a menu would leave 400
}

TEST_F(ShellItemsTest, CopyKeepsTheSourcesAndGivesClashesNewNames) {
  const std::string a = elsewhere.File("a.txt"), b = elsewhere.File("b.txt"), c = elsewhere.File("c.txt");
  test::WriteFileBytes(a, "new a");
  test::WriteFileBytes(b, "new b");
  test::WriteFileBytes(c, "new c");
  test::WriteFileBytes(own + "\\a.txt", "old a");
  test::WriteFileBytes(own + "\\a - Copy.txt", "old copy");
  Start();
  // The layer takes drops from other programs.
  EXPECT_TRUE(::GetWindowLongPtrW(Layer().hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  Drop({a, b, c}, L"Copy Here");
  EXPECT_EQ(dropMenus, 1);  // one menu for the whole drop
  EXPECT_EQ(dropCaptions, (std::vector<std::wstring>{L"Copy Here", L"Move Here",
                                                     L"Create Shortcuts Here", L"", L"Cancel"}));
  EXPECT_EQ(Layer().PendingDropPaths(), (std::vector<std::string>{a, b, c}));
  EXPECT_EQ(test::ReadFileBytes(own + "\\a.txt"), "old a");  // untouched
  EXPECT_EQ(test::ReadFileBytes(own + "\\a - Copy.txt"), "old copy");
  EXPECT_EQ(test::ReadFileBytes(own + "\\a - Copy (2).txt"), "new a");
  EXPECT_EQ(test::ReadFileBytes(own + "\\b.txt"), "new b");
  EXPECT_EQ(test::ReadFileBytes(own + "\\c.txt"), "new c");
  EXPECT_TRUE(test::FileExists(a) && test::FileExists(b) && test::FileExists(c));
  EXPECT_GE(IndexOf("c.txt"), 0);  // on the layer at once
  // A desktop file dropped back onto the desktop is copied beside itself.
  Drop({own + "\\b.txt"}, L"Copy Here");
  EXPECT_EQ(test::ReadFileBytes(own + "\\b.txt"), "new b");
  EXPECT_EQ(test::ReadFileBytes(own + "\\b - Copy.txt"), "new b");
}

TEST_F(ShellItemsTest, MoveTakesFilesAndWholeFoldersAway) {
  const std::string file = elsewhere.File("moved.txt"), folder = elsewhere.File("Album");
  test::WriteFileBytes(file, "moving");
  ASSERT_TRUE(test::MakeFolder(folder));
  ASSERT_TRUE(test::MakeFolder(folder + "\\inner"));
  test::WriteFileBytes(folder + "\\one.txt", "1");
  test::WriteFileBytes(folder + "\\inner\\two.txt", "22");
  test::WriteFileBytes(own + "\\Album", "a file named like the folder");
  Start();
  Drop({file, folder}, L"Move Here");
  EXPECT_FALSE(test::FileExists(file));
  EXPECT_EQ(test::ReadFileBytes(own + "\\moved.txt"), "moving");
  EXPECT_FALSE(test::FileExists(folder));  // really moved, not copied
  EXPECT_EQ(test::ReadFileBytes(own + "\\Album"), "a file named like the folder");
  EXPECT_EQ(test::ReadFileBytes(own + "\\Album - Copy\\one.txt"), "1");
  EXPECT_EQ(test::ReadFileBytes(own + "\\Album - Copy\\inner\\two.txt"), "22");
  EXPECT_GE(IndexOf("Album - Copy"), 0);
}

TEST_F(ShellItemsTest, AFolderMovedFromAnotherDriveIsCopiedWholeBeforeTheSourceGoes) {
  // Under Wine, Z: is the root of the machine, and /dev/shm usually lies on
  // another file system than the prefix: a move from there cannot be a
  // rename.
  const std::string folder = "Z:\\dev\\shm\\velmora-move-" + std::to_string(::GetCurrentProcessId());
  if (!test::MakeFolder(folder)) GTEST_SKIP() << "no /dev/shm";
  test::WriteFileBytes(folder + "\\probe", "p");
  const bool otherDrive = !::MoveFileExW(Wide(folder + "\\probe").c_str(),
                                         Wide(own + "\\probe").c_str(), 0) &&
                          ::GetLastError() == ERROR_NOT_SAME_DEVICE;
  ::DeleteFileW(Wide(own + "\\probe").c_str());
  ::DeleteFileW(Wide(folder + "\\probe").c_str());
  if (!otherDrive) {
    ::RemoveDirectoryW(Wide(folder).c_str());
    GTEST_SKIP() << "/dev/shm is on the prefix's file system";
  }
  ASSERT_TRUE(test::MakeFolder(folder + "\\deep"));
  const std::string big(100000, 'x');
  test::WriteFileBytes(folder + "\\deep\\x.bin", big);
  test::WriteFileBytes(folder + "\\in use.txt", "held");
  const std::string file = folder + "-single.txt";
  test::WriteFileBytes(file, "single");
  Start();
  session->SetProblemReporter([this](const std::string& text) { problems.push_back(text); });
  const std::string moved = own + "\\" + GetFileNamePart(folder);
  {
    // A file of the folder and the single file held by another: their
    // copies fail, and the sources stay whole.
    const UniqueKernelHandle held(::CreateFileW(Wide(folder + "\\in use.txt").c_str(), GENERIC_READ,
                                                0, nullptr, OPEN_EXISTING, 0, nullptr));
    const UniqueKernelHandle heldFile(::CreateFileW(Wide(file).c_str(), GENERIC_READ, 0, nullptr,
                                                    OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held && heldFile);
    Drop({folder, file}, L"Move Here");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find(GetFileNamePart(folder) + ":"), std::string::npos);
    EXPECT_NE(problems[0].find("-single.txt:"), std::string::npos);
    EXPECT_FALSE(test::FileExists(moved));  // no half copy left
    EXPECT_FALSE(test::FileExists(own + "\\" + GetFileNamePart(file)));
  }
  EXPECT_TRUE(test::ReadFileBytes(folder + "\\deep\\x.bin") == big);
  EXPECT_EQ(test::ReadFileBytes(folder + "\\in use.txt"), "held");
  EXPECT_EQ(test::ReadFileBytes(file), "single");
  // Let go, the same drop moves both.
  problems.clear();
  Drop({folder, file}, L"Move Here");
  EXPECT_TRUE(problems.empty());
  EXPECT_TRUE(test::ReadFileBytes(moved + "\\deep\\x.bin") == big);
  EXPECT_EQ(test::ReadFileBytes(moved + "\\in use.txt"), "held");
  EXPECT_FALSE(test::FileExists(folder));
  EXPECT_FALSE(test::FileExists(file));
  EXPECT_EQ(test::ReadFileBytes(own + "\\" + GetFileNamePart(file)), "single");
}

TEST_F(ShellItemsTest, ShortcutsPointAtTheTargetFromItsFolder) {
  const std::string file = elsewhere.File("report.txt"), folder = elsewhere.File("Projects");
  test::WriteFileBytes(file, "r");
  ASSERT_TRUE(test::MakeFolder(folder));
  test::WriteFileBytes(own + "\\report.lnk", "not a shortcut, and kept");
  Start();
  Drop({file, folder}, L"Create Shortcuts Here");
  const test::ShortcutFacts report = test::ReadShortcut(own + "\\report (2).lnk");
  EXPECT_EQ(test::Lower(report.target), test::Lower(file));
  EXPECT_EQ(test::Lower(report.workingFolder), test::Lower(elsewhere.path() + "\\"));
  EXPECT_EQ(test::Lower(test::ReadShortcut(own + "\\Projects.lnk").target), test::Lower(folder));
  EXPECT_EQ(test::ReadFileBytes(own + "\\report.lnk"), "not a shortcut, and kept");
  EXPECT_TRUE(test::FileExists(file));
}

TEST_F(ShellItemsTest, FailuresAreToldInOneMessageAndTheOtherItemsGoOn) {
  const std::string busy = elsewhere.File("busy.txt"), fine = elsewhere.File("fine.txt");
  const std::string folder = elsewhere.File("Half");
  test::WriteFileBytes(busy, "in use");
  test::WriteFileBytes(fine, "fine");
  ASSERT_TRUE(test::MakeFolder(folder));
  test::WriteFileBytes(folder + "\\first.txt", "1");
  test::WriteFileBytes(folder + "\\locked.txt", "2");
  Start();
  session->SetProblemReporter([this](const std::string& text) { problems.push_back(text); });
  // Opened by another with no sharing: neither copied nor moved.
  const UniqueKernelHandle held(::CreateFileW(Wide(busy).c_str(), GENERIC_READ, 0, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
  const UniqueKernelHandle heldInFolder(::CreateFileW(Wide(folder + "\\locked.txt").c_str(),
                                                      GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                                      nullptr));
  ASSERT_TRUE(held && heldInFolder);
  Drop({busy, "C:\\", folder, fine}, L"Copy Here");
  ASSERT_EQ(problems.size(), 1u);  // one message for the drop
  EXPECT_NE(problems[0].find("busy.txt"), std::string::npos);
  EXPECT_NE(problems[0].find("C:\\"), std::string::npos);
  EXPECT_NE(problems[0].find("Half"), std::string::npos);
  EXPECT_EQ(problems[0].find("fine.txt"), std::string::npos);
  EXPECT_EQ(test::ReadFileBytes(own + "\\fine.txt"), "fine");  // the others went on
  EXPECT_FALSE(test::FileExists(own + "\\busy.txt"));
  EXPECT_FALSE(test::FileExists(own + "\\Half"));  // no half copy left
}

TEST_F(ShellItemsTest, ANameFarLongerThanMaxPathIsNotCut) {
  std::string folder = elsewhere.path();
  while (folder.size() < 900) {
    folder += "\\" + std::string(120, 'd');
    ASSERT_TRUE(test::MakeFolder(folder));
  }
  const std::string file = folder + "\\far away.txt";
  test::WriteFileBytes(file, "far");
  ASSERT_EQ(test::ReadFileBytes(file), "far");
  Start();
  Drop({file}, L"Copy Here");
  EXPECT_EQ(Layer().PendingDropPaths(), std::vector<std::string>{file});
  EXPECT_EQ(test::ReadFileBytes(own + "\\far away.txt"), "far");
}

TEST_F(ShellItemsTest, CancelChangesNothingAndLeavesThePointer) {
  const std::string file = elsewhere.File("stay.txt");
  test::WriteFileBytes(file, "s");
  Start();
  const int rebuilds = Rebuilds();
  // Handed over at once, so that no pointer message comes in between.
  const HCURSOR beam = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32513));  // the I-beam
  const auto dropNow = [&](const std::wstring& caption) {
    Answer(caption);
    ::SetCursor(beam);
    ::SendMessageW(Layer().hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop({file})), 0);
    return ::GetCursor();
  };
  EXPECT_EQ(dropNow(L"Cancel"), beam);
  EXPECT_EQ(dropMenus, 1);
  EXPECT_EQ(Rebuilds(), rebuilds);
  EXPECT_FALSE(test::FileExists(own + "\\stay.txt"));
  EXPECT_TRUE(test::FileExists(file));
  // A command puts the pointer back as it was too.
  EXPECT_EQ(dropNow(L"Copy Here"), beam);
  EXPECT_TRUE(test::FileExists(own + "\\stay.txt"));
}

}  // namespace
}  // namespace velmora
