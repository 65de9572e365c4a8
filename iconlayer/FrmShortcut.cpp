#include "iconlayer/FrmShortcut.h"

#include "common/DesktopHost.h"
#include "common/Dpi.h"
#include "common/FileSystem.h"
#include "common/PathText.h"
#include "common/Units.h"
#include "common/WinText.h"
#include "iconlayer/ColorArgb.h"
#include "iconlayer/GdiPlusPictures.h"
#include "iconlayer/ItemRules.h"
#include "iconlayer/LayerPainter.h"
#include "iconlayer/MonitorItems.h"
#include "iconlayer/PointerRules.h"
#include "iconlayer/PositionMemory.h"
#include "iconlayer/Sprite.h"
#include "resources/ResourceIds.h"
#include "settings/ProgramValues.h"
#include "shell/DesktopScan.h"
#include "shell/ShellItemIcon.h"

#include <algorithm>
#include <cstring>

namespace velmora {

using namespace Gdiplus;

FrmShortcut::FrmShortcut(HWND owner, DesktopInventory& items, SettingsStore& settings,
                         LayerLinks links)
    : owner_(owner),
      links_(std::move(links)),
      inventory_(items),
      settings_(settings),
      appDirectory_(settings.AppDirectory()) {}

FrmShortcut::~FrmShortcut() { Unload(); }

bool FrmShortcut::Show() {
  if (!Create({kClassName, "", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW, 0, 0, 1, 1,
               owner_, CLR_INVALID, CS_DBLCLKS}))
    return false;
  ::DragAcceptFiles(hwnd(), TRUE);
  showImageviewer_ = settings_.Read().main.imageViewer;
  FollowDpi();
  FollowBackground();
  preview_.ThumBG(appDirectory_ + "\\Imageviewer.png");
  MakeArrow();
  if (LoadedPicture blank = LoadProgramPicture(appDirectory_ + "\\Blank.png", IDR_BLANK_PNG)) {
    blankWidth_ = blank.width;
    blankHeight_ = blank.height;
    blankImage_ = std::move(blank.image);
  }
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  layerSize_ = {client.right, client.bottom};
  PrepareBlankLayer();
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  LoadIcons(false);
  SetDesktopParent(owner_);
  SetDesktopParent(hwnd());
  StackOnDesktop(owner_, hwnd());
  return true;
}

void FrmShortcut::Unload() {
  positions_.clear();
  iconSprites_.clear();
  labelCache_.clear();
  labelPainter_.reset();
  icons_.clear();
  blankImage_.reset();
  blankLayer_.Destroy();
  composition_.Destroy();
  Destroy();
}

bool FrmShortcut::FollowBackground() {
  if (!hwnd() || !owner_) return false;
  RECT r{};
  ::GetWindowRect(owner_, &r);
  const long layerTop = TwipsToPixels(kLayerTopTwips, metrics_.dpi);
  PlaceOnScreen(hwnd(), {r.left, r.top + layerTop, r.right, r.bottom + layerTop});
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const std::string arrangement = ArrangementName(layout_);
  if (client.right == layerSize_.cx && client.bottom == layerSize_.cy && arrangement == followedName_)
    return false;
  followedName_ = arrangement;
  if (client.right != layerSize_.cx || client.bottom != layerSize_.cy) {
    layerSize_ = {client.right, client.bottom};
    PrepareBlankLayer();
  }
  layoutDirty_ = true;  // the positions of this size and these monitors
  return true;
}

DesktopLayout FrmShortcut::ItemLayout() const {
  RECT client{};
  if (hwnd()) ::GetClientRect(hwnd(), &client);
  if (!layout_.monitors.empty() && layout_.window.Width() == client.right &&
      layout_.window.Height() == client.bottom)
    return layout_;
  // No layout given, or not the one the layer covers: the layer is the one monitor.
  const ScreenRect all{0, 0, client.right, client.bottom};
  return {all, {{all, all, true, ""}}};
}

void FrmShortcut::PrepareBlankLayer() {
  // Blank.png is drawn first in every composition; drawing it once at the
  // layer size and copying it is the same picture at a fraction of the cost.
  if (layerSize_.cx <= 0 || layerSize_.cy <= 0 || !blankLayer_.Create(layerSize_.cx, layerSize_.cy, 32))
    return;
  if (!blankImage_) return;
  {
    const SurfaceCanvas canvas(blankLayer_);
    if (canvas)
      gdip::GdipDrawImageRectI(canvas.graphics(), blankImage_.get(), 0, 0,
                               static_cast<INT>(blankWidth_), static_cast<INT>(blankHeight_));
  }
  // Its nearly transparent fill still takes the pointer at the layer's
  // opacity (the right-click on empty space that opens the desktop menu).
  RaiseAlpha({blankLayer_.lpBits(), blankLayer_.Width(), blankLayer_.Height(),
              blankLayer_.BytesPerScanline()},
             pointerAlpha_);
}

void FrmShortcut::LoadIcons(bool selectItem, int index, bool isHover, double releaseX,
                            double releaseY) {
  // The settings as the file holds them now: its stamp is looked at, it is
  // read only when it changed.
  const MainSettings& main = settings_.Read().main;
  // An opacity outside its range is taken to the nearest end.
  const uint8_t opacity = main.iconFader
                              ? static_cast<uint8_t>(ClampToRange(SettingId::kIconfadervalue, main.iconOpacity))
                              : kOpaque;
  MakeTrans({selectItem, index, isHover, releaseX, releaseY}, opacity, main.iconDisplay);
}

void FrmShortcut::MakeTrans(const Composition& c, uint8_t opacity, bool overlay) {
  if (!hwnd() || layerSize_.cx <= 0 || layerSize_.cy <= 0) return;
  // One surface, kept from composition to composition at the layer's size
  // (made anew each time, it would cost more than the drawing).
  bool whole = false;
  if (composition_.Width() != layerSize_.cx || composition_.Height() != layerSize_.cy) {
    if (!composition_.Create(layerSize_.cx, layerSize_.cy, 32)) return;
    whole = true;
  }
  if (PointerAlpha(opacity) != pointerAlpha_) {  // another opacity chosen: rarely
    pointerAlpha_ = PointerAlpha(opacity);
    PrepareBlankLayer();
  }
  if (blankLayer_.Size() == composition_.Size())
    std::memcpy(composition_.lpBits(), blankLayer_.lpBits(), static_cast<size_t>(composition_.Size()));
  else
    composition_.Reset();
  if (layoutDirty_ || !layoutReady_) {
    LoadPositions();
    layoutDirty_ = false;
    layoutReady_ = true;
  }
  std::vector<DrawnPart> drawnNow;
  const size_t drawn = DrawItems(composition_, c, overlay, drawnNow);
  if (!c.isHover) hover_.PreviewDropped();
  ShowComposition(composition_, opacity, whole ? nullptr : &drawnNow);
  if (layoutDirty_)  // an item was moved in this composition
    SavePositions({positions_.begin(), positions_.begin() + static_cast<std::ptrdiff_t>(drawn)});
}

size_t FrmShortcut::DrawItems(CDIB& layer, const Composition& c, bool overlay,
                              std::vector<DrawnPart>& parts) {
  const std::vector<std::string>& names = items().arrays.names;
  // Renamed and removed items leave labels behind; start afresh now and then.
  if (labelCache_.size() > 2 * names.size() + 16) {
    labelCache_.clear();
    wholeNext_ = true;  // a new label may take a freed one's address
  }
  const size_t count = std::min({names.size(), positions_.size(), icons_.size()});
  // The surface is premultiplied and bottom-up: its top row is its last.
  const PixelView view{layer.lpBits() + static_cast<intptr_t>(layer.Height() - 1) * layer.BytesPerScanline(),
                       layer.Width(), layer.Height(), -layer.BytesPerScanline()};
  for (size_t i = 0; i < count; ++i) parts.push_back(DrawItem(view, i, c, overlay));
  const bool hovered = c.isHover && showImageviewer_ && c.index >= 0 && static_cast<size_t>(c.index) < count;
  if (hovered) parts.push_back(DrawPreview(layer, c.index));
  return count;
}

FrmShortcut::DrawnPart FrmShortcut::DrawItem(const PixelView& view, size_t i, const Composition& c,
                                             bool overlay) {
  const int item = static_cast<int>(i);
  const std::string& name = items().arrays.names[i];
  ItemPosition& at = positions_[i];
  bool highlight;
  if (c.selectItem && item == c.index) {
    selectedIcon_ = item;
    ApplyMoveRule(at, c);
    highlight = true;
  } else {
    highlight = item == selectedIcon_ && !c.selectItem && showImageviewer_;
  }
  const LayerMetrics& m = metrics_;
  const CachedLabel& label = Label(LabelText(item, name), highlight);
  const int32_t labelX = at.x - m.labelLeft + label.left, labelY = at.y + m.labelTop + label.top;
  DrawSprite(view, label.sprite, labelX, labelY);
  const Sprite* icon = i < iconSprites_.size() ? iconSprites_[i].get() : nullptr;
  if (icon) DrawSprite(view, *icon, at.x, at.y);
  const bool arrow = overlay && item >= 3 && ToLower(ExtensionOf(name)) == "lnk";
  if (arrow) DrawSprite(view, arrowSprite_, at.x, at.y + m.arrowTop);
  // The item's area takes the pointer: at full opacity alpha 1 is enough,
  // ColorARGB(1, 0, 0, 255), premultiplied; more at a lower opacity.
  FillOver(view, at.x, at.y, m.iconSize, m.areaHeight, uint32_t{pointerAlpha_} << 24 | pointerAlpha_);
  // What this item covers: its icon and hit area, and its label.
  return {{std::min(at.x, labelX), at.y, std::max(at.x + m.iconSize, labelX + label.sprite.width),
           std::max(at.y + m.areaHeight, labelY + label.sprite.height)},
          &label, icon, arrow};
}

FrmShortcut::DrawnPart FrmShortcut::DrawPreview(CDIB& layer, int item) {
  // Beside the item, above it near the bottom of the screen.
  // The frame and its measures are those at 96 DPI, drawn scaled to the layer's.
  const int dpi = metrics_.dpi;
  const auto px = [dpi](int32_t at96) { return ScaleToDpi(at96, dpi); };
  ItemPosition anchor = positions_[static_cast<size_t>(item)];
  RECT client{};
  ::GetClientRect(owner_, &client);
  long bottom = client.bottom;
  const DesktopLayout layout = ItemLayout();
  const int monitor = MonitorOfItem(anchor, layout);
  if (monitor >= 0) bottom = layout.monitors[static_cast<size_t>(monitor)].work.bottom;
  if (bottom - anchor.y < px(190)) anchor.y -= px(180);
  const int32_t left = anchor.x + px(20), top = anchor.y + px(20);
  const SurfaceCanvas canvas(layer);  // the preview is drawn scaled, with GDI+
  if (canvas && dpi != kBaseDpi) {
    const float scale = static_cast<float>(dpi) / kBaseDpi;
    gdip::GdipTranslateWorldTransform(canvas.graphics(), static_cast<float>(left), static_cast<float>(top),
                                      MatrixOrderPrepend);
    gdip::GdipScaleWorldTransform(canvas.graphics(), scale, scale, MatrixOrderPrepend);
    preview_.ThumViewer(items().RowText(static_cast<size_t>(item)), canvas.graphics(), 0, 0);
  } else {
    preview_.ThumViewer(items().RowText(static_cast<size_t>(item)), canvas.graphics(), left, top);
  }
  DrawnPart preview;
  preview.area = {left, top, left + px(ImagePreview::kFrameWidth), top + px(ImagePreview::kFrameHeight)};
  preview.always = true;
  return preview;
}

void FrmShortcut::ShowComposition(const CDIB& layer, uint8_t opacity,
                                  const std::vector<DrawnPart>* drawnNow) {
  // Only what differs from the picture the system has is handed over: the
  // parts drawn now and those drawn last time (an item that moved, a
  // preview that went). The whole picture when the opacity changed or there
  // is no earlier one.
  RECT dirty{0, 0, layerSize_.cx, layerSize_.cy};
  if (drawnNow && opacity == opacity_ && shownOnce_ && !wholeNext_) {
    dirty = {};
    std::vector<RECT> changed = ChangedParts(*drawnNow);
    for (const RECT& r : changed) ::UnionRect(&dirty, &dirty, &r);
    RECT all{0, 0, layerSize_.cx, layerSize_.cy};
    ::IntersectRect(&dirty, &dirty, &all);
  }
  if (drawnNow) drawnLast_ = *drawnNow;
  opacity_ = opacity;
  shownOnce_ = true;
  wholeNext_ = false;
  if (::IsRectEmpty(&dirty)) return;  // the picture is the one the system has
  ::SetWindowLongPtrA(hwnd(), GWL_EXSTYLE, ::GetWindowLongPtrA(hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
  SIZE size = layerSize_;
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
  const WindowDc screen = GetWindowDc(hwnd());
  UPDATELAYEREDWINDOWINFO info{};
  info.cbSize = sizeof info;
  info.hdcDst = screen.get().dc;
  info.psize = &size;
  info.hdcSrc = layer.hdc();
  info.pptSrc = &source;
  info.pblend = &blend;
  info.dwFlags = ULW_ALPHA;
  info.prcDirty = &dirty;
  ::UpdateLayeredWindowIndirect(hwnd(), &info);
}

std::vector<RECT> FrmShortcut::ChangedParts(const std::vector<DrawnPart>& drawnNow) const {
  // The lists are in item order (the preview last): a part that differs from
  // the one at its index last time (another place, label, icon or arrow)
  // goes along with the one it replaces, and so does every part only one
  // list has.
  std::vector<RECT> changed;
  const size_t common = std::min(drawnNow.size(), drawnLast_.size());
  for (size_t i = 0; i < common; ++i) {
    if (!drawnNow[i].SameAs(drawnLast_[i])) {
      changed.push_back(drawnNow[i].area);
      changed.push_back(drawnLast_[i].area);
    }
  }
  for (size_t i = common; i < drawnNow.size(); ++i) changed.push_back(drawnNow[i].area);
  for (size_t i = common; i < drawnLast_.size(); ++i) changed.push_back(drawnLast_[i].area);
  return changed;
}

void FrmShortcut::ApplyMoveRule(ItemPosition& at, const Composition& c) {
  if (links_.iconsLocked && links_.iconsLocked()) return;
  if (InKeepBox(at, c.releaseX, c.releaseY, metrics_)) return;  // a plain click
  // Into the cell of the release point, whether another item is there or not.
  at = DropCell(c.releaseX, c.releaseY, metrics_);
  layoutDirty_ = true;
}

const FrmShortcut::CachedLabel& FrmShortcut::Label(const std::string& text, bool highlighted) {
  auto& slot = labelCache_[{text, highlighted}];
  if (slot) return *slot;
  slot = std::make_unique<CachedLabel>();
  // The label box is 90 wide (at 96 DPI); the highlight outline reaches one
  // pixel to the left, a highlighted label may run to several lines.
  constexpr int32_t kMargin = 4;
  const int32_t height = ScaleToDpi(highlighted ? kHighlightedLabelHeight : kLabelCacheHeight, metrics_.dpi);
  CDIB drawn;
  if (drawn.Create(metrics_.labelWidth + 2 * kMargin, height, 32)) {
    {
      const SurfaceCanvas canvas(drawn);
      if (!labelPainter_)
        labelPainter_ = std::make_unique<LabelPainter>("Tahoma", metrics_.labelPoints, metrics_.labelWidth,
                                                       metrics_.labelTwoLines);
      labelPainter_->Draw(canvas.graphics(), text, kMargin, kMargin, highlighted);
    }
    slot->sprite = SpriteOfSurface(drawn);  // the canvas wrote premultiplied pixels
  }
  slot->left = -kMargin;
  slot->top = -kMargin;
  return *slot;
}

std::vector<std::string> FrmShortcut::ItemKeys() const {
  std::vector<std::string> keys(items().Count());
  for (size_t i = 0; i < keys.size(); ++i) keys[i] = items().RowText(i);
  return keys;
}

std::string FrmShortcut::LayoutName() const {
  // Places of one DPI do not fit another's grid: the DPI is in the name.
  const std::string arrangement = ArrangementName(ItemLayout());
  if (!arrangement.empty()) return metrics_.dpi == kBaseDpi ? arrangement : arrangement + "@" + std::to_string(metrics_.dpi);
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  return LayerSizeName(client.right, client.bottom, metrics_.dpi);
}

void FrmShortcut::ForgetLayout() {
  layoutDirty_ = true;
  SaveProgramValues({}, {ProgramValueId::kTempx, ProgramValueId::kTempy});  // emptied
  ForgetRememberedPlaces(LayoutName());
}

void FrmShortcut::DesktopiconsPos() {
  // After a rebuild an index may name another item (one deleted before it
  // moves the rest up), or none.
  hover_.Forget();
  LoadPositions();
}

void FrmShortcut::LoadPositions() {
  // The places remembered for this size of the layer (or this arrangement
  // of monitors) keep every item where the user put it, whatever came or
  // went; without them, the saved edges of the last layout as they are, or
  // the default grid on the primary monitor. No item is left off a monitor.
  const DesktopLayout layout = ItemLayout();
  const std::vector<std::string> keys = ItemKeys();
  PlacedItems remembered = ParsePlacedItems(ReadRememberedPlaces(LayoutName()));
  // Monitors changed to an arrangement without memory: every item where it
  // was on its monitor, those of a monitor that went back on the primary.
  if (remembered.empty()) remembered = CarriedPositions(layout);
  if (!remembered.empty()) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const ScreenRect& primary = layout.Primary().work;
    positions_ = KeepOnMonitors(
        PlaceItems(keys, remembered, static_cast<int32_t>(primary.Height()), metrics_,
                   {static_cast<int32_t>(primary.left), static_cast<int32_t>(primary.top)}),
        layout, metrics_);
    ProgramValues built;
    built.desktopC = static_cast<long>(positions_.size());
    built.scaleX = client.right;
    built.scaleY = client.bottom;
    built.scaleDpi = metrics_.dpi;
    SaveProgramValues(built, {ProgramValueId::kDesktopC, ProgramValueId::kScaleX, ProgramValueId::kScaleY,
                              ProgramValueId::kScaleDpi});
    SavePositions(positions_);
    return;
  }
  LoadSavedEdges();
  positions_ = KeepOnMonitors(positions_, layout, metrics_);
  SavePositions(positions_);
}

PlacedItems FrmShortcut::CarriedPositions(const DesktopLayout& now) const {
  if (positionsLayout_.monitors.empty() || positionsLayout_ == now ||
      positionsKeys_.size() != positions_.size())
    return {};
  // By key, so that items that came or went meanwhile take or leave a cell.
  return Remember(positionsKeys_, CarryOver(positions_, positionsLayout_, now, metrics_));
}

void FrmShortcut::LoadSavedEdges() {
  const int count = static_cast<int>(items().arrays.names.size());
  ProgramValues values = ReadProgramValues();
  const SavedLayout saved{values.tempx, values.tempy, values.scaleX, values.scaleY, values.desktopC,
                          values.scaleDpi};
  values.desktopC = count;
  SaveProgramValues(values, {ProgramValueId::kDesktopC});
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  if (LayoutNeedsRebuild(saved, client.right, client.bottom, count, metrics_.dpi)) {
    positions_ = PrimaryGrid(count, ItemLayout(), metrics_);
    values.scaleX = client.right;
    values.scaleY = client.bottom;
    values.scaleDpi = metrics_.dpi;
    SaveProgramValues(values, {ProgramValueId::kScaleX, ProgramValueId::kScaleY, ProgramValueId::kScaleDpi});
    return;
  }
  // A saved layout that cannot be the user's (edited by hand, cut short, of
  // another screen) is repaired; the caller stores what comes out.
  positions_ = PositionsFromTexts(saved.tempx, saved.tempy, count, client.right, client.bottom, nullptr, metrics_);
}

void FrmShortcut::SavePositions(const std::vector<ItemPosition>& positions) {
  std::vector<int32_t> xs, ys;
  for (const ItemPosition& p : positions) {
    xs.push_back(p.x);
    ys.push_back(p.y);
  }
  ProgramValues edges;
  edges.tempx = FormatPositions(xs);
  edges.tempy = FormatPositions(ys);
  SaveProgramValues(edges, {ProgramValueId::kTempx, ProgramValueId::kTempy});
  const std::vector<std::string> keys = ItemKeys();
  if (keys.size() != positions.size()) return;
  SaveRememberedPlaces(LayoutName(), FormatPlacedItems(Remember(keys, positions)));
  positionsLayout_ = ItemLayout();
  positionsKeys_ = keys;
}


void FrmShortcut::GainIconHdc() {
  const std::vector<std::string>& sources = items().arrays.icons;
  if (!metricsKnown_) FollowDpi();  // before the window: the screen's DPI
  hover_.Forget();  // the items were rebuilt, as in DesktopiconsPos
  iconSprites_.clear();
  icons_.clear();  // the old handles are destroyed here
  wholeNext_ = true;  // new icons may take freed ones' addresses
  const std::string system = GetSpecialDir(1), windows = GetSpecialDir(0);
  // Many items share an icon (every text file, every folder): extract each
  // icon once and let the items share it.
  struct Extracted {
    std::shared_ptr<UniqueIcon> icon;
    std::shared_ptr<Sprite> sprite;
  };
  std::map<std::pair<std::string, int32_t>, Extracted> extracted;
  for (size_t i = 0; i < sources.size(); ++i) {
    const IconLocation where = IconLocationFor(static_cast<int>(i), sources[i], system, windows);
    auto found = extracted.find({where.file, where.index});
    if (found == extracted.end()) {
      Extracted e;
      e.icon = std::make_shared<UniqueIcon>(ExtractIconFrom(where.file, where.index, metrics_.iconSize));
      if (!*e.icon) *e.icon = IconAtSize(UniqueIcon(ShellItemIcon(items().RowText(i))), metrics_.iconSize);
      e.sprite = std::make_shared<Sprite>(IconSprite(e.icon->get()));
      found = extracted.emplace(std::make_pair(where.file, where.index), std::move(e)).first;
    }
    icons_.push_back(found->second.icon);
    iconSprites_.push_back(found->second.sprite);
  }
}

void FrmShortcut::AddDesktopicons(const std::string& path) {
  // The entry goes to the items; its provisional place is below the last one.
  inventory_.Add(path);
  ItemPosition provisional;
  if (!positions_.empty()) provisional = {positions_.back().x, positions_.back().y + 72};
  positions_.resize(items().Count() - 1);
  positions_.push_back(provisional);
  layoutDirty_ = true;
  GainIconHdc();
}

LRESULT FrmShortcut::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (HandleInput(message, wParam, lParam)) return 0;
  switch (message) {
    case WM_DROPFILES:
      OnFilesDropped(reinterpret_cast<HDROP>(wParam));
      return 0;
    case kDpiChangedMessage:  // moved to a monitor of another scale, or the scale changed
      if (FollowDpi()) LoadIcons(false);
      return 0;
    case WM_WINDOWPOSCHANGING:
      // Like the background window, the layer stays under other programs'
      // windows (clicking it must not raise it over them) ...
      KeepAtTheBottom(hwnd(), lParam);
      break;
    case WM_WINDOWPOSCHANGED:
      // ... and the background window goes back under the layer.
      if (owner_ && !(reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_NOZORDER) &&
          ::GetAncestor(hwnd(), GA_PARENT) == ::GetDesktopWindow())
        ::SetWindowPos(owner_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora
