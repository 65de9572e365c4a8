// The icon layer's answers to the pointer and the keys: selecting, moving
// and opening items, the hover preview, the menus, files dropped, F5.
#include "iconlayer/FrmShortcut.h"

#include "common/DesktopHost.h"
#include "common/FileSystem.h"
#include "common/PathText.h"
#include "common/WinText.h"
#include "iconlayer/ItemOpening.h"
#include "iconlayer/PointerRules.h"
#include "shell/DesktopScan.h"
#include "shell/DropCommands.h"
#include "shell/DropMenuIndex.h"

#include <windowsx.h>

namespace velmora {
namespace {

// The picture types that get a hover preview (the row's type column).
bool IsPictureType(const std::string& type) {
  const std::string t = ToLower(type);
  for (const char* picture : {"png", "gif", "wmf", "emf", "bmp", "tif", "tiff", "jpg", "jpeg"})
    if (t == picture) return true;
  return false;
}

int ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: return 1;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: return 2;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: return 4;
    default: return 0;
  }
}

// Which buttons are held during a move, in the same numbers.
int HeldButton(WPARAM keys) {
  if (keys & MK_LBUTTON) return 1;
  if (keys & MK_RBUTTON) return 2;
  if (keys & MK_MBUTTON) return 4;
  return 0;
}

int ShiftOf(WPARAM keys) {
  return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
         ((::GetKeyState(VK_MENU) < 0) ? 4 : 0);
}

}  // namespace

bool FrmShortcut::HandleInput(UINT message, WPARAM wParam, LPARAM lParam) {
  const double x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      press_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (message == WM_LBUTTONDOWN) PressToMovie(x, y);
      // The keys (F5, Enter) come to the layer once it was clicked.
      ::SetFocus(hwnd());
      ::SetCapture(hwnd());
      return true;
    case WM_MOUSEMOVE:
      MoveToMovie(wParam, x, y);
      if (showImageviewer_) {
        if (!trackingLeave_) {
          // Told once the pointer leaves the layer (onto another window).
          TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, hwnd(), 0};
          trackingLeave_ = ::TrackMouseEvent(&leave) != FALSE;
        }
        DownIcon(HeldButton(wParam), ShiftOf(wParam), x, y, x, y, true);
      }
      return true;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      ForgetPointer();
      return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (::GetCapture() == hwnd()) ::ReleaseCapture();
      if (message == WM_LBUTTONUP && movieDown_) {
        movieDown_ = false;
        if (links_.pointerButton) links_.pointerButton(ScreenPoint(x, y), false);
      }
      const int button = ButtonOf(message);
      const bool hit = DownIcon(button, ShiftOf(wParam), x, y, press_.x, press_.y, false);
      if (button == 2 && !hit && links_.desktopMenu) {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ClientToScreen(hwnd(), &screen);
        ForgetPointer();  // no preview stays beside a menu
        links_.desktopMenu(screen);
      }
      return true;
    }
    case WM_LBUTTONDBLCLK:
      OpenSelectedItem();
      return true;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        OpenSelectedItem();
        return true;
      }
      if (wParam == VK_F5) {
        if (links_.refresh) links_.refresh();
        return true;
      }
      return false;
    default:
      return false;
  }
}

POINT FrmShortcut::ScreenPoint(double x, double y) const {
  POINT screen{static_cast<LONG>(x), static_cast<LONG>(y)};
  ::ClientToScreen(hwnd(), &screen);
  return screen;
}

// A press on empty space goes to the movie, and so do the moves until its
// release; a press on an item stays the layer's.
void FrmShortcut::PressToMovie(double x, double y) {
  if (!links_.pointerButton || HitItem(positions_, items().Count(), x, y, metrics_) >= 0) return;
  movieDown_ = true;
  links_.pointerButton(ScreenPoint(x, y), true);
}

// A move with no button held, over no item, or during a press the movie has.
void FrmShortcut::MoveToMovie(WPARAM keys, double x, double y) {
  if (!links_.pointerMoved) return;
  const bool held = (keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
  if (!movieDown_ && (held || HitItem(positions_, items().Count(), x, y, metrics_) >= 0)) return;
  links_.pointerMoved(ScreenPoint(x, y));
}

bool FrmShortcut::DownIcon(int button, int shift, double x, double y, double oldX, double oldY,
                           bool isMove) {
  const int item = HitItem(positions_, items().Count(), oldX, oldY, metrics_);
  if (isMove) PointerOver(item, x, y);
  if (item < 0) return false;
  if (!isMove) {
    inventory_.Select(item);
    LoadIcons(true, item, false, x, y);
  }
  if (button == 2 && links_.itemMenu) {
    POINT screen{static_cast<LONG>(x), static_cast<LONG>(y)};
    ::ClientToScreen(hwnd(), &screen);
    ForgetPointer();  // no preview stays beside a menu
    links_.itemMenu(item, screen, shift);
  }
  return true;
}

void FrmShortcut::PointerOver(int item, double x, double y) {
  const bool picture =
      item >= 0 && IsPictureType(items().list.Cell(static_cast<size_t>(item), 1));
  const HoverState::Step step = hover_.Moved(item < 0 ? HoverState::kNone : item, picture);
  if (step.selectRow) inventory_.Select(item);
  if (step.showPreview)
    LoadIcons(false, item, true, x, y);
  else if (step.hidePreview)
    LoadIcons(false);
}

void FrmShortcut::ForgetPointer() {
  if (hover_.Forget()) LoadIcons(false);
}

void FrmShortcut::OnFilesDropped(HDROP drop) {
  std::vector<std::string> paths;
  {
    const UniqueDrop finished(drop);
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      // The length first: no name is cut, however long.
      const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
      if (length == 0) continue;
      std::wstring name(length + 1, L'\0');
      name.resize(::DragQueryFileW(drop, i, name.data(), length + 1));
      if (!name.empty()) paths.push_back(Utf8(name));
    }
  }
  if (paths.empty()) return;
  pendingDropPaths_ = paths;
  POINT at{};
  ::GetCursorPos(&at);
  ForgetPointer();  // no preview stays beside a menu
  const int chosen = links_.dropMenu ? links_.dropMenu(at) : -1;
  DropCommand command;
  switch (chosen) {
    case kDropCopy: command = DropCommand::kCopy; break;
    case kDropMove: command = DropCommand::kMove; break;
    case kDropShortcut: command = DropCommand::kShortcut; break;
    default: return;  // Cancel, or dismissed: nothing changes
  }
  DropOutcome outcome;
  {
    const BusyPointer busy;
    outcome = CarryOutDrop(command, paths, GetSpecialDir(3));
    for (const std::string& folder : outcome.folders) AddDesktopicons(folder);
    if (links_.rebuild) links_.rebuild();
  }
  if (!outcome.problems.empty() && links_.report) links_.report(outcome.problems);
}

void FrmShortcut::OpenSelectedItem() {
  const BusyPointer busy;
  const int row = items().list.SelectedRow();
  if (row >= 0) {
    const std::string& text = items().RowText(static_cast<size_t>(row));
    const ItemToOpen item{row + 1, text, items().list.Cell(static_cast<size_t>(row), 1),
                          IsExistingFolder(text)};
    // The shell gets where a chain of shortcuts ends, never a chain that
    // goes round (it would follow that until its stack is gone).
    const auto command = OpenCommandFor(
        item,
        [&] {
          return FollowShortcutChain(
              text, [](const std::string& link) { return GetShortcutProperty(link, "TARGET"); });
        },
        GetSpecialDir(0), appDirectory_);
    if (command) RunOpenCommand(hwnd(), *command);
  }
}

}  // namespace velmora
