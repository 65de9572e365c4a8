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

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class FrmShortcutBG;

class FrmShortcut : public Window {
 public:
  static constexpr const char* kClassName = "VelmoraFrmShortcut";
  static constexpr int32_t kLabelWidth = 90;

  explicit FrmShortcut(FrmShortcutBG& owner);
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

  // Keeps each composed picture after it went to the system, for inspection.
  void KeepCompositions(bool keep) { keepComposition_ = keep; }
  const CDIB& LastComposition() const { return lastComposition_; }

 private:
  void MakeTrans(bool selectItem, int index, bool isHover, uint8_t opacity, bool overlay);
  void PrepareBlankLayer();
  // Stores the left and top edges in the registry ("Tempx", "Tempy").
  void SavePositions(const std::vector<ItemPosition>& positions);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  FrmShortcutBG& owner_;
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
