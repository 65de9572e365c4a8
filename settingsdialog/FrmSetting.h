// The settings dialog: a skinned, borderless window with four pages (Flash,
// Slide Show, Advanced Setting, Quick Help) chosen by the buttons along its
// top. It shows the stored settings when it opens and writes the changed
// pages back when the user applies; the page chosen last decides which
// wallpaper runs. It reaches the rest of the program only through its links.
#pragma once

#include "common/Handles.h"
#include "controls/UpDownBox.h"
#include "controls/ucCustomButton.h"
#include "settingsdialog/DialogOptions.h"
#include "settingsdialog/MediaListView.h"
#include "settingsdialog/PictureBox.h"
#include "settingsdialog/SkinnedFrame.h"
#include "settingsdialog/SlidePreviewCycle.h"
#include "settings/SettingsStore.h"
#include "wallpaper/MoviePlayerWindow.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

struct SettingsLinks {
  std::function<SIZE()> backgroundSize;   // the background window's size (Bgsave)
  std::function<void()> pauseSlideshow;   // the desktop slideshow holds while the dialog is open
  std::function<void()> advancedApplied;  // rebuild the items and compose the layer anew
  std::function<void()> closed;           // the wallpaper restarted from the stored settings
  // The shell's "Open" verb on a file or address (a row's file, the web site).
  std::function<void(const std::string& target)> open;
};

// What the user would pick in the system's dialogs, and the messages shown;
// tests put their own answers here.
struct SettingsChoices {
  std::function<std::optional<std::string>(const std::string& filter)> file;  // "Open File..."
  std::function<std::optional<COLORREF>(COLORREF current)> colour;
  std::function<void(const std::string& text, const std::string& title)> message;
};

class FrmSetting : public SkinnedFrame {
 public:
  enum Tab { kFlashTab = 0, kSlideTab = 1, kAdvancedTab = 2, kHelpTab = 3 };      // OptionsTab
  enum Apply { kApplyButton = 0, kCancelButton = 1, kOkButton = 2 };              // OptionsButton
  // The window's size at 96 DPI; it grows with the scale of its monitor.
  static constexpr int kWidth = 560, kHeight = 430;
  static constexpr UINT_PTR kPreviewTimerId = 1;  // Timer1
  static constexpr const char* kWebSite = "https://velmora.example/";
  static constexpr const char* kFlashFilter = "Macromedia flash file|*.swf";
  static constexpr const char* kPictureFilter =
      "All supported images|*.png;*.gif;*.wmf;*.emf;*.bmp;*.tif;*.tiff;*.jpg;*.jpeg|PNG images|*.png|"
      "GIF images|*.gif|WMF/EMF images|*.wmf;*.emf|BMP images|*.bmp|TIFF images|*.tif;*.tiff|"
      "JPG images|*.jpg|JPEG images|*.jpeg";

  // `settings`: the program's settings, which the dialog shows and writes.
  FrmSetting(SettingsStore& settings, SettingsLinks links, SettingsChoices choices = {});
  ~FrmSetting() override;

  // Creates the window owned by `owner`, loads it and shows it centred.
  bool Open(HWND owner);
  bool IsOpen() const { return hwnd() != nullptr; }
  // Closes the window (as Cancel does).
  void Close();

  // A press on a page button or an apply button, as the mouse gives it
  // (button 1 left, 2 right).
  void PressTab(int tab);
  void PressApply(int which, int mouseButton = 1);

  // What the dialog shows now.
  SettingsPage CurrentPage() const { return page_; }
  bool PageChosen() const { return pageChosen_; }
  bool AdvancedChanged() const { return advancedChanged_; }
  bool ApplyEnabled(int which) const;
  DialogOptions Options() const;  // read from the controls
  bool PageVisible(int tab) const;
  MediaListView& FlashList() { return *flashList_; }
  MediaListView& SlideList() { return *slideList_; }
  PictureBox& SlidePreview() { return *slidePreview_; }
  const PictureBox& Bgsave() const { return bgsave_; }
  MoviePlayerWindow& FlashPreview() { return *flashPreview_; }
  SlidePreviewCycle& PreviewCycle() { return *cycle_; }
  HWND Control(const char* name) const;  // by its name in the layout, for tests
  ucCustomButton& Button(const char* name);

  // The list operations of the pages (also what the buttons do).
  void AddFile(bool slides);      // Itemlist
  void DeleteRow(bool slides);    // DelItem
  void TogglePreview();           // Command1
  void ChooseColour(bool slides); // FlashColor, SlideBGcolor
  void ChooseBackgroundImage();   // BgImageButton
  void ListClicked(bool slides);  // a release over a list
  void DropDraggedSlide(size_t dragged, POINT at);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PaintFace(HDC dc) override;

 private:
  // Making the controls and the window's load.
  void CreateControls();
  void CreateFlashPage(int x, int y);
  void CreateSlidePage(int x, int y);
  void CreateAdvancedPage(int x, int y);
  void CreateHelpPage(int x, int y, int width, int height);
  void CreateButtons();
  void CreatePageButtons();   // OptionsTab
  void CreateApplyButtons();  // OptionsButton
  HWND AddControl(int page, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
                  int w, int h, int id);
  void AddTooltip(HWND control, const wchar_t* text);
  // The layout at the frame's DPI: the controls are made at their 96-DPI
  // places, which are kept (a drop-down list's with its open height), and
  // every one is placed and given the font at the DPI, now and when the
  // window moves to a monitor of another scale.
  void MakeFont();
  void KeepPlaces();
  void Relayout();
  void OnDpiChanged(int dpi, const RECT& suggested);
  void Load();
  void ShowOptions(const DialogOptions& o);

  // Pages, marks, apply.
  void SettingSel(SettingsPage page);
  void ShowPage(int tab);
  // A user's change of a control of `page`; `both`: it enables the Apply
  // button as well as Ok.
  void MarkChanged(SettingsPage page, bool both = true);
  void OnCommand(int id, int code);
  void OnNotify(const NMHDR& header);
  void UpdateFlashColourControls();
  void UpdateBackgroundControls();
  // Writes what the user changed (FrmSettingApply.cpp); false, after
  // telling the user once, when the settings file could not take it.
  bool Apply();
  void ReportSaveFailure();
  void ExitProg();
  void SetChecked(HWND box, bool on) const;
  bool Checked(HWND box) const;
  int Selection(HWND combo) const;

  // Slide dragging: the messages while a slide is dragged (true when one
  // was taken), the moves and the end.
  bool OnDragMessage(UINT message, LPARAM lParam);
  void DragMove(POINT screen);
  void DragEnd(POINT screen);
  // WM_CTLCOLORSTATIC and WM_CTLCOLORBTN: the swatches show their colours,
  // the other controls lie on the body; nullopt for one that keeps its look.
  std::optional<LRESULT> ControlColours(HWND control, HDC dc) const;

  SettingsStore& settings_;
  std::string appDirectory_;
  SettingsLinks links_;
  SettingsChoices choices_;
  UniqueGdiObject font_, bodyBrush_, flashSwatch_, slideSwatch_;
  UniqueLibrary richEdit_;
  HWND tooltips_ = nullptr;

  std::array<std::unique_ptr<ucCustomButton>, 4> optionsTab_;
  std::array<std::vector<HWND>, 4> pages_;  // Frametab, by tab
  std::array<std::unique_ptr<ucCustomButton>, 3> optionsButton_;
  std::unique_ptr<ucCustomButton> closeButton_, webSite_;
  std::vector<std::pair<std::string, HWND>> named_;
  std::vector<std::pair<HWND, RECT>> places_;  // at 96 DPI, in the client
  std::vector<std::unique_ptr<ucCustomButton>> pageButtons_;  // Add, Delete, Play, colours, Browse

  std::unique_ptr<MediaListView> flashList_, slideList_;
  std::unique_ptr<MoviePlayerWindow> flashPreview_;
  std::unique_ptr<UpDownBox> speedValue_, intervalValue_, maxRateValue_;
  std::unique_ptr<PictureBox> slidePreview_;
  std::unique_ptr<SlidePreviewCycle> cycle_;
  PictureBox bgsave_;
  COLORREF flashColour_ = RGB(255, 255, 255), slideColour_ = RGB(0, 0, 0);

  SettingsPage page_ = SettingsPage::kNone;  // CurrentPage
  bool pageChosen_ = false, loading_ = false;
  // AdvancedChanged, and the same for the other two pages with options.
  bool advancedChanged_ = false, flashChanged_ = false, slideChanged_ = false;
  bool stopFade_ = false;
  std::optional<size_t> draggedSlide_;
};

}  // namespace velmora
