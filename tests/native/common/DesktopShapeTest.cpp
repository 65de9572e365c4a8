// The shell's desktop trees and where the program's windows go in each.
#include "common/DesktopShape.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

const ShellWindow kTaskbar{1, "Shell_TrayWnd", "", {"Start", "TrayNotifyWnd"}};

ShellWindow Progman(std::vector<std::string> children) {
  return {10, "Progman", "Program Manager", std::move(children)};
}

TEST(FindDesktopShape, TheThreeShapesOfTheShell) {
  // Windows 7/8, 10/11 not raised.
  DesktopShape s = FindDesktopShape({kTaskbar, Progman({kIconViewClass})});
  EXPECT_EQ(s.kind, DesktopShapeKind::kIconsInProgman);
  EXPECT_EQ(s.parent, 10u);
  // Raised: a WorkerW in front holds the icon view, an empty one behind it,
  // "Program Manager" last and empty.
  s = FindDesktopShape({kTaskbar, {20, "WorkerW", "", {kIconViewClass}}, {21, "WorkerW", "", {}}, Progman({})});
  EXPECT_EQ(s.kind, DesktopShapeKind::kRaised);
  EXPECT_EQ(s.parent, 20u);
  // The empty WorkerW in front of the one with the icons changes nothing.
  s = FindDesktopShape({{21, "WorkerW", "", {}}, {20, "WorkerW", "", {"Other", kIconViewClass}}, Progman({})});
  EXPECT_EQ(s.parent, 20u);
  // 24H2: both inside "Program Manager", in either order.
  for (const auto& children : {std::vector<std::string>{kIconViewClass, kWorkerClass},
                               std::vector<std::string>{kWorkerClass, kIconViewClass}}) {
    s = FindDesktopShape({kTaskbar, Progman(children)});
    EXPECT_EQ(s.kind, DesktopShapeKind::kIconsAndWorkerInProgman);
    EXPECT_EQ(s.parent, 10u);
  }
}

TEST(FindDesktopShape, WithoutAnIconViewProgramManagerOrNothing) {
  // "Program Manager" still without its icon view: it takes the windows.
  DesktopShape s = FindDesktopShape({kTaskbar, {30, "WorkerW", "", {}}, Progman({})});
  EXPECT_EQ(s.kind, DesktopShapeKind::kProgmanOnly);
  EXPECT_EQ(s.parent, 10u);
  // No shell at all, or only windows of other classes and titles.
  s = FindDesktopShape({});
  EXPECT_EQ(s.kind, DesktopShapeKind::kNoShell);
  EXPECT_EQ(s.parent, 0u);
  s = FindDesktopShape({kTaskbar, {40, "Progman", "Not the manager", {kIconViewClass}}});
  EXPECT_EQ(s.kind, DesktopShapeKind::kNoShell);
  // An icon view in a window that is no WorkerW is not the shell's.
  s = FindDesktopShape({{50, "SomeTool", "", {kIconViewClass}}});
  EXPECT_EQ(s.kind, DesktopShapeKind::kNoShell);
}

TEST(FindDesktopShape, ProgramManagerIsFoundByTitleAndTheFrontOneCounts) {
  // Any class with the title, as the search by title finds it.
  DesktopShape s = FindDesktopShape({{60, "OtherClass", "Program Manager", {kIconViewClass}}});
  EXPECT_EQ(s.parent, 60u);
  // Two with the title: the one in front.
  s = FindDesktopShape({{61, "Progman", "Program Manager", {}}, Progman({kIconViewClass})});
  EXPECT_EQ(s.kind, DesktopShapeKind::kProgmanOnly);
  EXPECT_EQ(s.parent, 61u);
  // A "Program Manager" holding the icons wins over a WorkerW that also
  // holds an icon view (a view another program made).
  s = FindDesktopShape({{70, "WorkerW", "", {kIconViewClass}}, Progman({kIconViewClass})});
  EXPECT_EQ(s.kind, DesktopShapeKind::kIconsInProgman);
  EXPECT_EQ(s.parent, 10u);
}

}  // namespace
}  // namespace velmora
