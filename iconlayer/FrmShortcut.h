// The icon layer: a per-pixel-alpha layered window above the background
// window that shows the desktop items. Every change recomposes the whole
// picture and hands it to the system with UpdateLayeredWindow.
#pragma once

#include "common/GdiPlus.h"
#include "common/Handles.h"
#include "common/Window.h"
#include "iconlayer/CDIB.h"
#include "iconlayer/ImagePreview.h"
#include "iconlayer/LayerPainter.h"
#include "iconlayer/LayoutGrid.h"
#include "shell/InventoryRows.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class FrmShortcut : public Window {
 public:
  static constexpr const char* kClassName = "VelmoraFrmShortcut";
  static constexpr int32_t kLabelWidth = 90;

  // `owner`: the background window, which the layer follows and which owns
  // it; `items`: the desktop items it shows.
  FrmShortcut(HWND owner, DesktopItems& items, std::string appDirectory);
  ~FrmShortcut() override;

  // Creates the window owned by the background window and runs its load:
  // settings, preview frame, pictures, first composition, desktop parent.
  bool Show();
  void Unload();

  // Reads the layer settings and composes once. A click composition selects
  // `index`; a hover composition shows the preview of item `index`.
  void LoadIcons(bool selectItem, int index = 0, bool isHover = false);

  // Loads the saved positions, or rebuilds the default grid when they no
  // longer fit.
  void DesktopiconsPos();
  // Extracts the icon of every item again.
  void GainIconHdc();
  // Appends one desktop entry without rescanning.
  void AddDesktopicons(const std::string& path);
  static HICON ExtractIconFrom(const std::string& file, int32_t index);

  // Follows the background window's placement: its left, width and height,
  // 100 twips from the top.
  void FollowBackground();

  const std::vector<ItemPosition>& Positions() const { return positions_; }
  int SelectedIcon() const { return selectedIcon_; }
  uint8_t LayerOpacity() const { return opacity_; }
  size_t IconCount() const { return icons_.size(); }
  HICON IconHandle(size_t i) const {
    return i < icons_.size() && icons_[i] ? icons_[i]->get() : nullptr;
  }

  // The "Imageviewer" setting: the hover preview, and the highlight kept
  // between clicks.
  void SetPreviewShown(bool shown) { showImageviewer_ = shown; }
  bool PreviewShown() const { return showImageviewer_; }
  // The positions are to be read again before the next composition (an item
  // moved, the items arranged or added).
  void MarkLayoutDirty() { layoutDirty_ = true; }

  // Keeps each composed picture after it went to the system, for inspection.
  void KeepCompositions(bool keep) { keepComposition_ = keep; }
  const CDIB& LastComposition() const { return lastComposition_; }

 private:
  // One composition: the items drawn, the picture handed to the system, the
  // positions saved when an item moved.
  void MakeTrans(bool selectItem, int index, bool isHover, uint8_t opacity, bool overlay);
  // Draws every item (label, icon, arrow, the rectangle that takes the
  // pointer) and, in a hover composition, the preview; how many were drawn.
  size_t DrawItems(CDIB& layer, bool selectItem, int index, bool isHover, bool overlay);
  // Hands the composed picture to the system at the given opacity.
  void ShowComposition(const CDIB& layer, uint8_t opacity);
  std::string IniPath() const { return appDirectory_ + "\\Wallpaper.ini"; }
  void PrepareBlankLayer();
  // Stores the left and top edges in the registry ("Tempx", "Tempy").
  void SavePositions(const std::vector<ItemPosition>& positions);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  HWND owner_;
  DesktopItems& items_;
  std::string appDirectory_;
  bool showImageviewer_ = true;  // the hover preview, and the highlight kept between clicks
  bool layoutDirty_ = false;     // positions must be reloaded before the next composition
  std::vector<ItemPosition> positions_;  // ItemX, ItemY
  // IconHandles; items with the same icon source share one handle.
  std::vector<std::shared_ptr<UniqueIcon>> icons_;
  // The same icons with their alpha, for drawing; items with the same icon
  // source share one.
  std::vector<std::shared_ptr<GdipImage>> iconBitmaps_;
  // Labels drawn once and reused while their text and highlight stay the
  // same: the picture is the same, without a text layout per composition.
  struct CachedLabel {
    CDIB pixels;
    int32_t left = 0, top = 0;  // where the picture goes relative to the label box
  };
  std::map<std::pair<std::string, bool>, std::unique_ptr<CachedLabel>> labelCache_;
  static constexpr int32_t kLabelCacheHeight = 48, kHighlightedLabelHeight = 260;
  const CachedLabel& Label(const std::string& text, bool highlighted);
  std::unique_ptr<LabelPainter> labelPainter_;
  int selectedIcon_ = 0;
  bool layoutReady_ = false;
  uint8_t opacity_ = 255;
  SIZE layerSize_{};                     // the client size at load
  ImagePreview preview_;
  GdipImage arrowImage_;
  GdipImage blankImage_;
  UINT blankWidth_ = 0, blankHeight_ = 0;
  CDIB blankLayer_;                      // Blank.png drawn once at the layer size
  bool keepComposition_ = false;
  CDIB lastComposition_;
};

}  // namespace velmora
