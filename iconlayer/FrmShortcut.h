// The icon layer: a per-pixel-alpha layered window above the background
// window that shows the desktop items. Every change recomposes the whole
// picture and hands it to the system with UpdateLayeredWindow.
#pragma once

#include "common/GdiPlus.h"
#include "common/MonitorLayout.h"
#include "common/Handles.h"
#include "common/Window.h"
#include "iconlayer/CDIB.h"
#include "iconlayer/ImagePreview.h"
#include "iconlayer/LayerPainter.h"
#include "iconlayer/LayoutGrid.h"
#include "iconlayer/PixelBlend.h"
#include "iconlayer/PointerRules.h"
#include "iconlayer/PositionMemory.h"
#include "iconlayer/Sprite.h"
#include "settings/SettingsStore.h"
#include "shell/DesktopInventory.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

// What the icon layer asks of the rest of the desktop.
struct LayerLinks {
  std::function<void(POINT screen)> desktopMenu;  // a right-click on empty space
  // A right-click on an item (the shell's menu of the list's selected row).
  std::function<void(int item, POINT screen, int shift)> itemMenu;
  std::function<void()> refresh;       // F5: rescan, relayout, redraw
  std::function<bool()> iconsLocked;   // "Lock Icons" is checked
  // Files dropped: the drop menu's choice (-1 when dismissed), the rebuild
  // after the command, and a message about the items that failed.
  std::function<int(POINT screen)> dropMenu;
  std::function<void()> rebuild;
  std::function<void(const std::string& problems)> report;
  // The pointer on empty space, not used by the layer (screen pixels): its
  // moves and the left button, for the movie below.
  std::function<void(POINT screen)> pointerMoved;
  std::function<void(POINT screen, bool down)> pointerButton;
};

class FrmShortcut : public Window {
 public:
  static constexpr const char* kClassName = "VelmoraFrmShortcut";
  static constexpr int32_t kLabelWidth = 90;
  static constexpr uint8_t kOpaque = 255;  // the layer's opacity without the fader

  // `owner`: the background window, which the layer follows and which owns
  // it; `items`: the desktop items it shows; `settings`: the program's
  // settings (and folder, whose pictures it draws).
  FrmShortcut(HWND owner, DesktopInventory& items, SettingsStore& settings, LayerLinks links = {});
  ~FrmShortcut() override;

  // Creates the window owned by the background window and runs its load:
  // settings, preview frame, pictures, first composition, desktop parent.
  bool Show();
  void Unload();

  // Reads the layer settings and composes once. A click composition selects
  // `index`; a hover composition shows the preview of item `index`.
  // A click composition moves the item to the cell of the release point
  // unless the icons are locked or the release lies in its keep box.
  void LoadIcons(bool selectItem, int index = 0, bool isHover = false, double releaseX = 0,
                 double releaseY = 0);

  // Button: 1 left, 2 right, 4 middle; shift: the key state bits. The point
  // hit-tested is (oldX, oldY): the press position for a release, the
  // pointer for a move. True when an item was found there.
  bool DownIcon(int button, int shift, double x, double y, double oldX, double oldY, bool isMove);
  // Opens the list's selected row (double-click, Enter).
  void OpenSelectedItem();
  // A drop of files and folders: the drop menu, then its command for each.
  void OnFilesDropped(HDROP drop);
  // The paths of the last drop (PendingDropPath, every item of it).
  const std::vector<std::string>& PendingDropPaths() const { return pendingDropPaths_; }
  // The item under the pointer (-1: none).
  int HoverIndex() const { return hover_.Index(); }

  // Loads the saved positions, or rebuilds the default grid when they no
  // longer fit. The items were rebuilt: what the pointer was over is
  // forgotten (the next composition shows no preview).
  void DesktopiconsPos();
  // Extracts the icon of every item again (the items were rebuilt, as
  // above).
  void GainIconHdc();
  // Appends one desktop entry without rescanning.
  void AddDesktopicons(const std::string& path);
  // The icon at `size` pixels (0: the system's large icon size).
  static HICON ExtractIconFrom(const std::string& file, int32_t index, int32_t size = 0);
  // `icon` at `size` pixels: itself when it has that size, else a copy made
  // from the icon's own images (or stretched when it has none that size).
  static UniqueIcon IconAtSize(UniqueIcon icon, int32_t size);

  // The measures the layer draws with, at the DPI of its monitor.
  const LayerMetrics& Metrics() const { return metrics_; }
  // The DPI looked at again (WM_DPICHANGED, a display change): at another
  // one the labels, icons, arrow and positions are made anew for it. True
  // when it changed.
  bool FollowDpi();
  // Where the DPI comes from: the system's answer for the window, or a
  // stand-in (a test moving the layer to a monitor of another scale, which
  // Wine cannot: all its monitors share one DPI and it sends no
  // WM_DPICHANGED).
  void SetDpiQuery(std::function<int(HWND)> query) { dpiQuery_ = std::move(query); }

  // Follows the background window's placement: its left, width and height,
  // 100 twips below its top. True when the layer's size or the monitors
  // changed (its positions are then read again for them at the next
  // composition).
  bool FollowBackground();
  // The monitors the background window was placed over (relative to its
  // corner, which the layer shares): where items go. Without one the layer
  // is one monitor.
  void SetDesktopLayout(const DesktopLayout& layout) { layout_ = layout; }
  // The layout the items are placed on.
  DesktopLayout ItemLayout() const;
  // Every item to be laid out afresh at the next composition (Refresh, the
  // arrange commands): the saved edges emptied, the places remembered for
  // this size forgotten.
  void ForgetLayout();

  const std::vector<ItemPosition>& Positions() const { return positions_; }
  int SelectedIcon() const { return selectedIcon_; }
  uint8_t LayerOpacity() const { return opacity_; }
  size_t IconCount() const { return icons_.size(); }
  HICON IconHandle(size_t i) const {
    return i < icons_.size() && icons_[i] ? icons_[i]->get() : nullptr;
  }

  // The setting of the hover preview, which also keeps the highlight
  // between clicks.
  void SetPreviewShown(bool shown) { showImageviewer_ = shown; }
  bool PreviewShown() const { return showImageviewer_; }
  // The positions are to be read again before the next composition (an item
  // moved, the items arranged or added).
  void MarkLayoutDirty() { layoutDirty_ = true; }

  // The picture the last composition handed to the system.
  const CDIB& LastComposition() const { return composition_; }

 private:
  // One composition: the items drawn, the picture handed to the system, the
  // positions saved when an item moved.
  struct Composition {
    bool selectItem = false;
    int index = 0;
    bool isHover = false;
    double releaseX = 0, releaseY = 0;
  };
  void MakeTrans(const Composition& c, uint8_t opacity, bool overlay);
  // What one composition drew in one place: an item (its icon, label and
  // arrow) or the preview, which counts as changed every time.
  struct DrawnPart {
    RECT area;
    const void* label = nullptr;
    const void* icon = nullptr;
    bool arrow = false;
    bool always = false;
    bool SameAs(const DrawnPart& o) const {
      return ::EqualRect(&area, &o.area) && label == o.label && icon == o.icon &&
             arrow == o.arrow && !always && !o.always;
    }
  };
  // Draws every item and, in a hover composition, the preview; how many
  // items were drawn. `parts`: what each drawn item (then the preview) covers.
  size_t DrawItems(CDIB& layer, const Composition& c, bool overlay, std::vector<DrawnPart>& parts);
  // One item (its label, icon, arrow, and the rectangle that takes the
  // pointer), and the preview of a hover composition.
  DrawnPart DrawItem(const PixelView& view, size_t i, const Composition& c, bool overlay);
  DrawnPart DrawPreview(CDIB& layer, int item);
  // The move rule of a click composition, for the clicked item.
  void ApplyMoveRule(ItemPosition& at, const Composition& c);
  // Hands the composed picture to the system at the given opacity: the
  // parts that differ from the last composition, or all of it without
  // `drawnNow`.
  void ShowComposition(const CDIB& layer, uint8_t opacity, const std::vector<DrawnPart>* drawnNow);
  std::vector<RECT> ChangedParts(const std::vector<DrawnPart>& drawnNow) const;
  void PrepareBlankLayer();
  // Stores the left and top edges in the registry (Tempx, Tempy) and
  // the places of the items for this size.
  void SavePositions(const std::vector<ItemPosition>& positions);
  // The positions from the saved edges, or the default grid when they no
  // longer fit (another size, another number of items), repaired where
  // they cannot be the user's.
  void LoadSavedEdges();
  // The positions for the next composition (DesktopiconsPos without
  // forgetting the pointer).
  void LoadPositions();
  // Nothing is under the pointer any more: a preview on the screen goes.
  void ForgetPointer();
  // The pointer the layer does not use, for the movie (LayerLinks).
  POINT ScreenPoint(double x, double y) const;
  void PressToMovie(double x, double y);
  void MoveToMovie(WPARAM keys, double x, double y);
  // A move of the pointer onto `item` (-1: no item) while previews are on.
  void PointerOver(int item, double x, double y);
  // Each item's key (its path, or a special item's shell name), in order.
  std::vector<std::string> ItemKeys() const;
  // The name this layer size's (or monitor arrangement's) places are
  // remembered by.
  std::string LayoutName() const;
  // The positions now, carried from the layout they were stored for to
  // `now` (iconlayer/MonitorItems), by item; none when the layout is the
  // same or nothing was stored yet.
  PlacedItems CarriedPositions(const DesktopLayout& now) const;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Pointer and keys (FrmShortcutInput.cpp); true when the message was handled.
  bool HandleInput(UINT message, WPARAM wParam, LPARAM lParam);

  HWND owner_;
  LayerLinks links_;
  POINT press_{};       // where the last button went down, in layer pixels
  HoverState hover_;    // HoverIndex, and whose preview is shown
  bool movieDown_ = false;  // the left button went down on empty space: the movie has it
  bool trackingLeave_ = false;  // the system tells when the pointer leaves the layer
  std::vector<std::string> pendingDropPaths_;
  DesktopInventory& inventory_;
  const DesktopItems& items() const { return inventory_.Items(); }
  SettingsStore& settings_;
  std::string appDirectory_;
  bool showImageviewer_ = true;  // the hover preview, and the highlight kept between clicks
  bool layoutDirty_ = false;     // positions must be reloaded before the next composition
  std::vector<ItemPosition> positions_;  // ItemX, ItemY
  DesktopLayout layout_;                 // as the background window was placed
  std::string followedName_;             // the arrangement the layer last followed
  // The layout and the items the positions were last stored for.
  DesktopLayout positionsLayout_;
  std::vector<std::string> positionsKeys_;
  // IconHandles; items with the same icon source share one handle.
  std::vector<std::shared_ptr<UniqueIcon>> icons_;
  // The same icons as premultiplied pictures, for drawing; items with the
  // same icon source share one.
  std::vector<std::shared_ptr<Sprite>> iconSprites_;
  // Labels drawn once and reused while their text and highlight stay the
  // same: the picture is the same, without a text layout per composition.
  struct CachedLabel {
    Sprite sprite;
    int32_t left = 0, top = 0;  // where the picture goes relative to the label box
  };
  std::map<std::pair<std::string, bool>, std::unique_ptr<CachedLabel>> labelCache_;
  static constexpr int32_t kLabelCacheHeight = 48, kHighlightedLabelHeight = 260;  // at 96 DPI
  static constexpr long kLayerTopTwips = 100;  // the layer's top edge
  const CachedLabel& Label(const std::string& text, bool highlighted);
  std::unique_ptr<LabelPainter> labelPainter_;
  int selectedIcon_ = 0;
  bool layoutReady_ = false;
  uint8_t opacity_ = kOpaque;
  SIZE layerSize_{};                     // the client size at load
  ImagePreview preview_;
  Sprite arrowSprite_;  // the shortcut arrow at 11 x 11 (at 96 DPI)
  void MakeArrow();
  LayerMetrics metrics_;  // at the DPI of the layer's monitor
  bool metricsKnown_ = false;  // FollowDpi has looked once
  std::function<int(HWND)> dpiQuery_;
  GdipImage blankImage_;
  UINT blankWidth_ = 0, blankHeight_ = 0;
  CDIB blankLayer_;                      // Blank.png drawn once at the layer size
  // The alpha the empty space and the items' areas take the pointer with at
  // the layer's opacity (PointerAlpha); the blank layer is drawn with it.
  uint8_t pointerAlpha_ = 1;
  CDIB composition_;              // kept at the layer's size between compositions
  std::vector<DrawnPart> drawnLast_;  // the parts the last composition drew
  bool shownOnce_ = false;
  bool wholeNext_ = false;  // the next composition goes to the system whole
};

}  // namespace velmora
