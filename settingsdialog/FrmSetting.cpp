#include "settingsdialog/FrmSetting.h"

#include "common/DesktopHost.h"
#include "common/Dpi.h"
#include "common/PathText.h"
#include "common/WinText.h"
#include "controls/RgbPictureGdi.h"
#include "settings/EntryList.h"
#include "settingsdialog/FrmSettingIds.h"

#include <commctrl.h>

namespace velmora {
namespace {

using namespace setting_ids;

// Esc anywhere in the dialog closes it (a drop-down that is open closes
// first); the controls pass it up to the dialog.
LRESULT CALLBACK EscapeCloses(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR dialog) {
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE &&
      !::SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0)) {
    ::PostMessageW(reinterpret_cast<HWND>(dialog), WM_CLOSE, 0, 0);
    return 0;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(control, EscapeCloses, 1);
  return ::DefSubclassProc(control, message, wParam, lParam);
}

BOOL CALLBACK PassEscapeUp(HWND control, LPARAM dialog) {
  ::SetWindowSubclass(control, EscapeCloses, 1, static_cast<DWORD_PTR>(dialog));
  return TRUE;
}

}  // namespace

FrmSetting::FrmSetting(SettingsStore& settings, SettingsLinks links, SettingsChoices choices)
    : SkinnedFrame(settings.AppDirectory(), "Velmora Settings"),
      settings_(settings),
      appDirectory_(settings.AppDirectory()),
      links_(std::move(links)),
      choices_(std::move(choices)) {}

FrmSetting::~FrmSetting() = default;

bool FrmSetting::Open(HWND owner) {
  const BusyPointer busy;
  // Centred on the primary screen, at its scale.
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  SetDpi(DpiAtPoint({screenWidth / 2, screenHeight / 2}));
  const int width = Px(kWidth), height = Px(kHeight);
  if (!CreateSkinned(owner, std::max(0, (screenWidth - width) / 2), std::max(0, (screenHeight - height) / 2),
                     width, height))
    return false;
  CreateControls();
  ::EnumChildWindows(hwnd(), PassEscapeUp, reinterpret_cast<LPARAM>(hwnd()));
  SlideCycleLinks cycle;
  cycle.rowCount = [this] { return slideList_->Rows().size(); };
  cycle.fileOf = [this](size_t row) { return slideList_->FileOf(row); };
  cycle.speed = [this] { return static_cast<int>(speedValue_->Value()); };
  cycle.location = [this] { return Selection(Control("ImageLocation")); };
  cycle.intervalMilliseconds = [this] { return static_cast<int>(StoredInterval(intervalValue_->Value())); };
  cycle.armTimer = [this](int ms) {
    if (!hwnd()) return;
    // An interval of 0 never fires: the cycle ends after this slide.
    if (ms > 0)
      ::SetTimer(hwnd(), kPreviewTimerId, static_cast<UINT>(ms), nullptr);
    else
      ::KillTimer(hwnd(), kPreviewTimerId);
  };
  cycle_ = std::make_unique<SlidePreviewCycle>(*slidePreview_, cycle);
  Load();
  ::ShowWindow(hwnd(), SW_SHOW);
  ::UpdateWindow(hwnd());
  return true;
}

void FrmSetting::Load() {
  loading_ = true;
  // Bgsave, the size of the background; the desktop slideshow holds still.
  const SIZE background = links_.backgroundSize ? links_.backgroundSize() : SIZE{800, 600};
  bgsave_.CreateHidden(std::max<LONG>(1, background.cx), std::max<LONG>(1, background.cy));
  if (links_.pauseSlideshow) links_.pauseSlideshow();
  ShowOptions(DialogOptionsFrom(settings_.Read()));
  // The marks the loaded values left are undone; the dialog opens on the
  // Advanced page.
  stopFade_ = false;
  pageChosen_ = false;
  advancedChanged_ = flashChanged_ = slideChanged_ = false;
  ShowPage(kAdvancedTab);
  optionsButton_[kApplyButton]->SetEnabled(false);
  optionsButton_[kOkButton]->SetEnabled(false);
  loading_ = false;
}

void FrmSetting::ShowOptions(const DialogOptions& o) {
  speedValue_->SetValue(o.speed);
  intervalValue_->SetValue(o.interval);
  ::SetWindowTextW(Control("ImageBgfile"), Wide(o.backgroundFile).c_str());
  ::SendMessageW(Control("ImageLocation"), CB_SETCURSEL, static_cast<WPARAM>(o.location), 0);
  SetChecked(Control("BgCheck"), o.backgroundImage);
  SetChecked(Control("IlCheck"), o.interleave);
  ::SendMessageW(Control("Quality"), CB_SETCURSEL, static_cast<WPARAM>(o.quality), 0);
  ::SendMessageW(Control("MovieSizes"), CB_SETCURSEL, static_cast<WPARAM>(o.movieSize), 0);
  flashColour_ = o.flashColour;
  flashSwatch_.reset(::CreateSolidBrush(flashColour_));
  SetChecked(Control("LoopCheck"), o.loop);
  SetChecked(Control("MouseCheck"), o.mouseToMovie);
  maxRateValue_->SetValue(o.maxFrameRate);
  flashPreview_->SetBackgroundColor(flashColour_);
  flashPreview_->SetQuality(o.quality);
  flashPreview_->SetScaleMode(o.movieSize);
  SetChecked(Control("CheckGO3"), o.startup);
  SetChecked(Control("BatteryCheck"), o.batteryRest);
  SetChecked(Control("CheckGO2"), o.imageViewer);
  SetChecked(Control("CheckGO0"), o.iconDisplay);
  SetChecked(Control("CheckGO1"), o.iconFader);
  ::SendMessageW(Control("Monitors"), CB_SETCURSEL, static_cast<WPARAM>(o.monitors), 0);
  if (o.iconFader) ::SetWindowTextW(Control("iconFader"), Wide(o.iconFaderValue).c_str());
  ::EnableWindow(Control("iconFader"), o.iconFader);
  slideColour_ = o.slideColour;
  slideSwatch_.reset(::CreateSolidBrush(slideColour_));
  slidePreview_->Clear(slideColour_);
  UpdateBackgroundControls();
  UpdateFlashColourControls();
}

DialogOptions FrmSetting::Options() const {
  DialogOptions o;
  o.startup = Checked(Control("CheckGO3"));
  o.batteryRest = Checked(Control("BatteryCheck"));
  o.iconDisplay = Checked(Control("CheckGO0"));
  o.iconFader = Checked(Control("CheckGO1"));
  o.imageViewer = Checked(Control("CheckGO2"));
  o.iconFaderValue = WindowText(Control("iconFader"));
  o.monitors = std::max(0, Selection(Control("Monitors")));
  o.quality = std::max(0, Selection(Control("Quality")));
  o.movieSize = std::max(0, Selection(Control("MovieSizes")));  // "0" when nothing is selected
  o.flashColour = flashColour_;
  o.loop = Checked(Control("LoopCheck"));
  o.mouseToMovie = Checked(Control("MouseCheck"));
  o.maxFrameRate = maxRateValue_->Value();
  o.speed = speedValue_->Value();
  o.interval = intervalValue_->Value();
  o.location = std::max(0, Selection(Control("ImageLocation")));
  o.slideColour = slideColour_;
  o.backgroundImage = Checked(Control("BgCheck"));
  o.backgroundFile = WindowText(Control("ImageBgfile"));
  o.interleave = Checked(Control("IlCheck"));
  return o;
}

HWND FrmSetting::Control(const char* name) const {
  for (const auto& [n, control] : named_)
    if (n == name) return control;
  return nullptr;
}

ucCustomButton& FrmSetting::Button(const char* name) {
  const HWND wanted = Control(name);
  for (auto& b : pageButtons_)
    if (b->hwnd() == wanted) return *b;
  for (auto& b : optionsButton_)
    if (b->hwnd() == wanted) return *b;
  return *closeButton_;
}

bool FrmSetting::ApplyEnabled(int which) const { return optionsButton_[static_cast<size_t>(which)]->Enabled(); }

void FrmSetting::SetChecked(HWND box, bool on) const {
  ::SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool FrmSetting::Checked(HWND box) const { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

int FrmSetting::Selection(HWND combo) const {
  return static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

bool FrmSetting::PageVisible(int tab) const {
  const auto& controls = pages_[static_cast<size_t>(tab)];
  return !controls.empty() && ::IsWindowVisible(controls.front());
}

void FrmSetting::ShowPage(int tab) {
  for (int i = 0; i < 4; ++i)
    for (const HWND control : pages_[static_cast<size_t>(i)]) ::ShowWindow(control, i == tab ? SW_SHOW : SW_HIDE);
  // The colour controls follow the movie size even when shown again.
  if (tab == kFlashTab) UpdateFlashColourControls();
}

void FrmSetting::PressTab(int tab) {
  pageChosen_ = true;
  optionsButton_[kOkButton]->SetEnabled(false);
  static constexpr SettingsPage kPages[4] = {SettingsPage::kFlash, SettingsPage::kSlide,
                                             SettingsPage::kAdvanced, SettingsPage::kHelp};
  SettingSel(kPages[tab]);
}

void FrmSetting::SettingSel(SettingsPage page) {
  page_ = page;
  // Only the page shown plays or fades: a hidden preview costs nothing.
  if (page != SettingsPage::kSlide) cycle_->Stop();
  if (page != SettingsPage::kFlash) flashPreview_->Stop();
  switch (page) {
    case SettingsPage::kFlash: {
      flashList_->ItemRead();
      if (!flashList_->Rows().empty()) {
        const std::vector<MediaEntry> current = ReadEntryList(settings_.Read().flash.current);
        if (!current.empty())
          flashPreview_->SetMovie(
              EntryFilePath(current.front(), MediaSection(MediaList::kFlash), appDirectory_));
        flashPreview_->SetQuality(Selection(Control("Quality")));
        flashPreview_->SetScaleMode(Selection(Control("MovieSizes")));
        if (!current.empty()) {
          flashPreview_->Play();
          Button("Command1").SetCaption("Stop");
        }
        ::SetFocus(flashList_->hwnd());
        flashList_->Select(0);
      }
      ShowPage(kFlashTab);
      flashPreview_->SetVisible(true);
      break;
    }
    case SettingsPage::kSlide:
      slideList_->ItemRead();
      if (!slideList_->Rows().empty()) {
        if (Checked(Control("BgCheck")))
          slidePreview_->LoadLogo(WindowText(Control("ImageBgfile")), 1, appDirectory_);
        else
          slidePreview_->Clear(slideColour_);
        ::SetFocus(slideList_->hwnd());
        slideList_->Select(0);
        cycle_->Start();
      }
      ShowPage(kSlideTab);
      break;
    case SettingsPage::kAdvanced:
      ShowPage(kAdvancedTab);
      break;
    case SettingsPage::kHelp:
    case SettingsPage::kNone:
      ShowPage(kHelpTab);
      break;
  }
}

void FrmSetting::MarkChanged(SettingsPage page, bool both) {
  if (loading_) return;
  // What is applied: the pages changed, whichever page is shown then.
  switch (page) {
    case SettingsPage::kFlash: flashChanged_ = true; break;
    case SettingsPage::kSlide: slideChanged_ = true; break;
    default: advancedChanged_ = true; break;
  }
  if (both) optionsButton_[kApplyButton]->SetEnabled(true);
  optionsButton_[kOkButton]->SetEnabled(true);
}

void FrmSetting::UpdateFlashColourControls() {
  // The colour shows only around a movie at its own size.
  const bool original = Selection(Control("MovieSizes")) == 0;
  for (const char* name : {"Colorize", "Flashcolorv", "FlashColor"}) ::EnableWindow(Control(name), original);
  Button("FlashColor").SetEnabled(original);
}

void FrmSetting::UpdateBackgroundControls() {
  const bool on = Checked(Control("BgCheck"));
  ::EnableWindow(Control("ImageBgfile"), on);
  Button("BgImageButton").SetEnabled(on);
}

void FrmSetting::OnCommand(int id, int code) {
  switch (id) {
    case kQuality:
      if (code == CBN_SELCHANGE) {
        flashPreview_->SetQuality(Selection(Control("Quality")));
        MarkChanged(SettingsPage::kFlash);
      }
      break;
    case kMovieSizes:
      if (code == CBN_SELCHANGE) {
        flashPreview_->SetScaleMode(Selection(Control("MovieSizes")));
        UpdateFlashColourControls();
        MarkChanged(SettingsPage::kFlash);
      }
      break;
    case kImageLocation:
      if (code == CBN_SELCHANGE) MarkChanged(SettingsPage::kSlide);
      break;
    case kLoopCheck:
    case kMouseCheck:
    case kIlCheck:
      if (code == BN_CLICKED) MarkChanged(id != kIlCheck ? SettingsPage::kFlash : SettingsPage::kSlide);
      break;
    case kBgCheck:
      if (code == BN_CLICKED) {
        UpdateBackgroundControls();
        if (Checked(Control("BgCheck")))
          slidePreview_->LoadLogo(WindowText(Control("ImageBgfile")), 1, appDirectory_);
        else
          slidePreview_->Clear(slideColour_);
        MarkChanged(SettingsPage::kSlide, false);
      }
      break;
    case kFlashColorv:
      if (code == STN_CLICKED && ::IsWindowEnabled(Control("Flashcolorv"))) ChooseColour(false);
      break;
    case kColorPreview:
      if (code == STN_CLICKED) ChooseColour(true);
      break;
    case kCheckGO0:
    case kCheckGO1:
    case kCheckGO2:
    case kCheckGO3:
    case kBatteryCheck:
      if (code == BN_CLICKED) {
        if (id == kCheckGO1) ::EnableWindow(Control("iconFader"), Checked(Control("CheckGO1")));
        MarkChanged(SettingsPage::kAdvanced);
      }
      break;
    case kIconFader:
      if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) MarkChanged(SettingsPage::kAdvanced);
      break;
    case kMonitors:
      if (code == CBN_SELCHANGE) MarkChanged(SettingsPage::kAdvanced);
      break;
    default:
      break;
  }
}

void FrmSetting::ExitProg() {
  stopFade_ = true;
  if (cycle_) cycle_->Stop();
  if (hwnd()) ::KillTimer(hwnd(), kPreviewTimerId);
}

void FrmSetting::Close() {
  if (!hwnd()) return;
  ::DestroyWindow(hwnd());
}

void FrmSetting::PaintFace(HDC dc) { SkinnedFrame::PaintFace(dc); }

std::optional<LRESULT> FrmSetting::ControlColours(HWND control, HDC dc) const {
  if (control == Control("Flashcolorv")) return reinterpret_cast<LRESULT>(flashSwatch_.get());
  if (control == Control("ColorPreview")) return reinterpret_cast<LRESULT>(slideSwatch_.get());
  if (control == Control("ImageBgfile")) return std::nullopt;  // a read-only field keeps its own look
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::IsWindowEnabled(control) ? RGB(24, 28, 40) : RGB(150, 154, 162));
  return reinterpret_cast<LRESULT>(bodyBrush_.get());
}

bool FrmSetting::OnDragMessage(UINT message, LPARAM lParam) {
  if (!draggedSlide_) return false;
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_MOUSEMOVE:
      ::ClientToScreen(hwnd(), &at);
      DragMove(at);
      return false;  // the frame sees the move too
    case WM_LBUTTONUP:
      ::ClientToScreen(hwnd(), &at);
      DragEnd(at);
      return true;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd()) draggedSlide_.reset();
      return false;
    default:
      return false;
  }
}

LRESULT FrmSetting::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (OnDragMessage(message, lParam)) return 0;
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {  // Esc through the dialog manager
        Close();
        return 0;
      }
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kPreviewTimerId && cycle_) cycle_->OnTimer();
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        Close();
        return 0;
      }
      break;
    case WM_CLOSE:
      Close();
      return 0;
    case kDpiChangedMessage:
      OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (const auto colours = ControlColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
        return *colours;
      break;
    case WM_DESTROY:
      // Closing: the previews stop and the desktop takes up the stored
      // wallpaper again (a cancelled dialog resumes it as it was).
      ExitProg();
      flashPreview_->Stop();
      if (links_.closed) links_.closed();
      break;
  }
  return SkinnedFrame::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora
