// The settings dialog's controls: made once when the window opens, each
// page's controls kept in one list so that a page is shown or hidden whole.
#include "settingsdialog/FrmSetting.h"

#include "common/WinText.h"
#include "settingsdialog/FrmSettingIds.h"

#include <algorithm>

#include <commctrl.h>
#include <richedit.h>

namespace velmora {
namespace {

using namespace setting_ids;

constexpr int kPageLeft = 14, kPageTop = 74;  // the pages' shared rectangle
constexpr int kPageWidth = FrmSetting::kWidth - 28, kPageHeight = FrmSetting::kHeight - 74 - 52;

// The Quick Help page: a short how-to.
constexpr const char* kHelpRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\fs17 "
    "{\\b\\fs20 Velmora in a minute}\\par\\par "
    "{\\b Choose what runs.} The page you pick last before {\\b Ok} decides: confirm on "
    "{\\b Flash} to play a movie on the desktop, on {\\b Slide Show} to show your pictures one "
    "after another. {\\b Advanced Setting} and {\\b Quick Help} leave the running wallpaper as it "
    "is.\\par\\par "
    "{\\b Movies.} {\\b Add} puts a movie file (.swf) in the list; select one and press "
    "{\\b Play} to see it here. Pick its quality and size; with {\\i Original Screen} the border "
    "around the movie takes the colour you choose. {\\b Max fps} is the most pictures a second "
    "the wallpaper draws (a slower movie keeps its own pace). Double-click a row to open the "
    "file.\\par\\par "
    "{\\b Slides.} {\\b Add} puts pictures in the list; drag a row up or down to change the order. "
    "{\\b Speed} is how fast a picture fades in (higher is faster), {\\b Interval} the pause "
    "between pictures in half seconds. {\\b Background Image} puts a picture behind slides that do "
    "not fill the screen.\\par\\par "
    "{\\b Desktop.} Under {\\b Advanced Setting} choose whether Velmora starts with Windows, "
    "shows the little arrow on shortcuts, makes the icons see-through and previews pictures "
    "when the pointer rests on them, and whether the movie rests on battery saver. "
    "{\\b Several monitors} shows the movie or the slides on {\\b Each monitor} or once across "
    "all of them ({\\b Span}).\\par\\par "
    "{\\b On the desktop.} Right-click empty space for the desktop menu (arrange, lock the icons, "
    "these settings); right-click an item for its own menu. Drag items to move them; drop files "
    "from other windows to copy, move or link them. F5 refreshes.\\par}";

}  // namespace

HWND FrmSetting::AddControl(int page, const wchar_t* cls, const wchar_t* text, DWORD style, int x,
                            int y, int w, int h, int id) {
  const HWND control = ::CreateWindowExW(0, cls, text, WS_CHILD | style, x, y, w, h, hwnd(),
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         ::GetModuleHandleW(nullptr), nullptr);
  if (!control) return nullptr;
  places_.push_back({control, RECT{x, y, x + w, y + h}});
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  if (page >= 0) pages_[static_cast<size_t>(page)].push_back(control);
  return control;
}

void FrmSetting::AddTooltip(HWND control, const wchar_t* text) {
  if (!tooltips_ || !control) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(text);
  ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FrmSetting::MakeFont() {
  LOGFONTW face{};
  face.lfHeight = -Px(11);  // 8 points
  wcscpy_s(face.lfFaceName, L"Tahoma");
  font_.reset(::CreateFontIndirectW(&face));
}

void FrmSetting::KeepPlaces() {
  // The controls made without AddControl, at their 96-DPI places still.
  for (HWND child = ::GetWindow(hwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const bool kept = std::any_of(places_.begin(), places_.end(), [child](const auto& p) { return p.first == child; });
    RECT place{};
    if (kept || !::GetWindowRect(child, &place)) continue;
    ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&place), 2);
    places_.push_back({child, place});
  }
}

void FrmSetting::Relayout() {
  const HFONT font = static_cast<HFONT>(font_.get());
  for (const auto& [control, at96] : places_) {
    ::SetWindowPos(control, nullptr, Px(at96.left), Px(at96.top), Px(at96.right) - Px(at96.left),
                   Px(at96.bottom) - Px(at96.top), SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  std::vector<ucCustomButton*> buttons{closeButton_.get(), webSite_.get()};
  for (auto& b : optionsTab_) buttons.push_back(b.get());
  for (auto& b : optionsButton_) buttons.push_back(b.get());
  for (auto& b : pageButtons_) buttons.push_back(b.get());
  for (ucCustomButton* b : buttons) {
    b->SetDpi(Dpi());
    b->SetFont(font);
  }
  for (UpDownBox* box : {speedValue_.get(), intervalValue_.get(), maxRateValue_.get()}) {
    box->SetDpi(Dpi());
    box->SetFont(font);
  }
  flashList_->FitColumns();
  slideList_->FitColumns();
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void FrmSetting::OnDpiChanged(int dpi, const RECT& suggested) {
  SetDpi(dpi);
  MakeFont();
  // The frame takes its new skin in WM_SIZE.
  ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  Relayout();
}

void FrmSetting::CreateControls() {
  places_.clear();
  MakeFont();
  bodyBrush_.reset(::CreateSolidBrush(RGB(240, 242, 246)));
  tooltips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                nullptr, ::GetModuleHandleW(nullptr), nullptr);
  CreateButtons();
  CreateFlashPage(kPageLeft, kPageTop);
  CreateSlidePage(kPageLeft, kPageTop);
  CreateAdvancedPage(kPageLeft, kPageTop);
  CreateHelpPage(kPageLeft, kPageTop, kPageWidth, kPageHeight);
  KeepPlaces();
  Relayout();
}

void FrmSetting::CreateButtons() {
  CreatePageButtons();
  CreateApplyButtons();
  ButtonEvents closeEvents;
  closeEvents.mouseUp = [this](int button, int, int, int) {
    if (button == 1) Close();
  };
  closeButton_ = std::make_unique<ucCustomButton>(closeEvents);
  closeButton_->Create(hwnd(), kWidth - 34, 5, 24, 19, "x");
  closeButton_->SetFont(static_cast<HFONT>(font_.get()));
  AddTooltip(closeButton_->hwnd(), L"Close");
  ButtonEvents webEvents;
  webEvents.mouseUp = [this](int button, int, int, int) {
    if (button == 1 && links_.open) links_.open(kWebSite);
  };
  webSite_ = std::make_unique<ucCustomButton>(webEvents);
  webSite_->Create(hwnd(), kPageLeft, kHeight - 36, 88, 25, "Web Site");
  webSite_->SetFont(static_cast<HFONT>(font_.get()));
  named_ = {{"Ok", optionsButton_[kOkButton]->hwnd()}, {"Cancel", optionsButton_[kCancelButton]->hwnd()},
            {"Apply", optionsButton_[kApplyButton]->hwnd()}, {"CloseButton", closeButton_->hwnd()},
            {"Web Site", webSite_->hwnd()}};
  for (int i = 0; i < 4; ++i)
    named_.push_back({"OptionsTab" + std::to_string(i), optionsTab_[static_cast<size_t>(i)]->hwnd()});
}

void FrmSetting::CreatePageButtons() {
  struct TabText {
    const char* caption;
    const wchar_t* tip;
    int width;
  };
  const TabText tabs[4] = {{"&Flash", L"Flash wallpaper", 96},
                           {"&Slide Show", L"Slide show wallpaper", 110},
                           {"&Advanced Setting", L"Advanced setting", 130},
                           {"Quick Help", L"Online Help Documents", 100}};
  int x = kPageLeft;
  for (int i = 0; i < 4; ++i) {
    ButtonEvents events;
    events.mouseDown = [this, i](int, int, int, int) { PressTab(i); };
    optionsTab_[static_cast<size_t>(i)] = std::make_unique<ucCustomButton>(events);
    ucCustomButton& tab = *optionsTab_[static_cast<size_t>(i)];
    tab.Create(hwnd(), x, 40, tabs[i].width, 25, tabs[i].caption);
    tab.SetFont(static_cast<HFONT>(font_.get()));
    AddTooltip(tab.hwnd(), tabs[i].tip);
    x += tabs[i].width + 6;
  }
}

void FrmSetting::CreateApplyButtons() {
  const struct {
    int which;
    const char* caption;
    const wchar_t* tip;
    int x;
  } applies[3] = {{kApplyButton, "Apply", L"Apply setting", kWidth - 302},
                  {kCancelButton, "Cancel", L"Cancel setting", kWidth - 102},
                  {kOkButton, "Ok", L"Apply setting", kWidth - 198}};
  for (const auto& a : applies) {
    ButtonEvents events;
    events.mouseDown = [this, which = a.which](int button, int, int, int) { PressApply(which, button); };
    auto& slot = optionsButton_[static_cast<size_t>(a.which)];
    slot = std::make_unique<ucCustomButton>(events);
    slot->Create(hwnd(), a.x, kHeight - 36, 88, 25, a.caption);
    slot->SetFont(static_cast<HFONT>(font_.get()));
    AddTooltip(slot->hwnd(), a.tip);
  }
  ::ShowWindow(optionsButton_[kApplyButton]->hwnd(), SW_HIDE);  // not shown in the layout
}

namespace {

// A picture button of a page, made and named.
ucCustomButton* PageButton(std::vector<std::unique_ptr<ucCustomButton>>& buttons, HWND parent,
                           HFONT font, const char* caption, int x, int y, int w,
                           std::function<void()> onRelease) {
  ButtonEvents events;
  events.mouseUp = [act = std::move(onRelease)](int button, int, int, int) {
    if (button == 1) act();
  };
  buttons.push_back(std::make_unique<ucCustomButton>(events));
  buttons.back()->Create(parent, x, y, w, 25, caption);
  buttons.back()->SetFont(font);
  ::ShowWindow(buttons.back()->hwnd(), SW_HIDE);
  return buttons.back().get();
}

void FillCombo(HWND combo, std::initializer_list<const wchar_t*> entries) {
  for (const wchar_t* entry : entries) ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

}  // namespace

void FrmSetting::CreateFlashPage(int x, int y) {
  const HFONT font = static_cast<HFONT>(font_.get());
  flashList_ = std::make_unique<MediaListView>(settings_, MediaList::kFlash);
  flashList_->Create(hwnd(), x, y, 306, 196, kFlashList);
  ::ShowWindow(flashList_->hwnd(), SW_HIDE);
  pages_[kFlashTab].push_back(flashList_->hwnd());
  AddTooltip(flashList_->hwnd(), L"Double Click to Preview...");
  const auto add = [&](const char* name, const char* caption, int bx, int by, int w, std::function<void()> act) {
    ucCustomButton* b = PageButton(pageButtons_, hwnd(), font, caption, bx, by, w, std::move(act));
    pages_[kFlashTab].push_back(b->hwnd());
    named_.push_back({name, b->hwnd()});
  };
  add("FlashBrowse", "Add", x, y + 204, 80, [this] { AddFile(false); });
  add("DelFlash", "Delete", x + 88, y + 204, 80, [this] { DeleteRow(false); });
  flashPreview_ = std::make_unique<MoviePlayerWindow>();
  flashPreview_->Create(hwnd(), x + 318, y, 214, 160);
  pages_[kFlashTab].push_back(flashPreview_->hwnd());
  add("Command1", "Play", x + 318, y + 168, 80, [this] { TogglePreview(); });

  const int row1 = y + 242, row2 = y + 274;
  named_.push_back({"QualityLabel", AddControl(kFlashTab, L"STATIC", L"Quality:", 0, x, row1 + 4, 58, 16, kLabel)});
  const HWND quality = AddControl(kFlashTab, L"COMBOBOX", L"", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL,
                                  x + 60, row1, 80, 120, kQuality);
  FillCombo(quality, {L"Low", L"High"});
  named_.push_back({"Quality", quality});
  named_.push_back({"SizeLabel", AddControl(kFlashTab, L"STATIC", L"Size:", 0, x + 156, row1 + 4, 36, 16, kLabel)});
  const HWND sizes = AddControl(kFlashTab, L"COMBOBOX", L"", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL,
                                x + 194, row1, 140, 120, kMovieSizes);
  FillCombo(sizes, {L"Original Screen", L"Stretch Full Screen", L"Full Screen"});
  named_.push_back({"MovieSizes", sizes});
  named_.push_back({"MaxRateLabel", AddControl(kFlashTab, L"STATIC", L"Max fps:", 0, x + 346, row1 + 4, 50, 16, kLabel)});
  SpinEvents marks;
  marks.change = [this] { MarkChanged(SettingsPage::kFlash); };
  maxRateValue_ = std::make_unique<UpDownBox>(marks);
  maxRateValue_->Create(hwnd(), x + 398, row1, 56, 22);
  maxRateValue_->SetFont(font);
  maxRateValue_->SetMin(static_cast<int32_t>(KeyOf(SettingId::kMaxFrameRate).low));
  maxRateValue_->SetMax(static_cast<int32_t>(KeyOf(SettingId::kMaxFrameRate).high));
  ::ShowWindow(maxRateValue_->hwnd(), SW_HIDE);
  pages_[kFlashTab].push_back(maxRateValue_->hwnd());
  named_.push_back({"MaxRateValue", maxRateValue_->hwnd()});
  AddTooltip(maxRateValue_->hwnd(), L"The most frames a second the wallpaper draws");
  named_.push_back({"Colorize", AddControl(kFlashTab, L"STATIC", L"Colorize:", 0, x, row2 + 4, 58, 16, kLabel)});
  named_.push_back({"Flashcolorv", AddControl(kFlashTab, L"STATIC", L"", SS_NOTIFY | WS_BORDER, x + 60, row2 + 1,
                                              40, 20, kFlashColorv)});
  add("FlashColor", "Color...", x + 106, row2, 70, [this] { ChooseColour(false); });
  named_.push_back({"LoopCheck", AddControl(kFlashTab, L"BUTTON", L"&Loop Play", WS_TABSTOP | BS_AUTOCHECKBOX,
                                            x + 194, row2 + 3, 120, 18, kLoopCheck)});
  const HWND mouse = AddControl(kFlashTab, L"BUTTON", L"&Mouse to movie", WS_TABSTOP | BS_AUTOCHECKBOX, x + 320,
                                row2 + 3, 130, 18, kMouseCheck);
  named_.push_back({"MouseCheck", mouse});
  AddTooltip(mouse, L"Moves and clicks on empty desktop reach the movie's buttons");
}

void FrmSetting::CreateSlidePage(int x, int y) {
  const HFONT font = static_cast<HFONT>(font_.get());
  slideList_ = std::make_unique<MediaListView>(settings_, MediaList::kImage);
  slideList_->Create(hwnd(), x, y, 306, 196, kSlideList);
  ::ShowWindow(slideList_->hwnd(), SW_HIDE);
  pages_[kSlideTab].push_back(slideList_->hwnd());
  AddTooltip(slideList_->hwnd(), L"Double Click to Preview...");
  const auto add = [&](const char* name, const char* caption, int bx, int by, int w, std::function<void()> act) {
    ucCustomButton* b = PageButton(pageButtons_, hwnd(), font, caption, bx, by, w, std::move(act));
    pages_[kSlideTab].push_back(b->hwnd());
    named_.push_back({name, b->hwnd()});
  };
  add("SlideBrowse", "Add", x, y + 204, 80, [this] { AddFile(true); });
  add("DelImage", "Delete", x + 88, y + 204, 80, [this] { DeleteRow(true); });
  slidePreview_ = std::make_unique<PictureBox>();
  slidePreview_->Create(hwnd(), x + 318, y, 214, 160);
  ::ShowWindow(slidePreview_->hwnd(), SW_HIDE);
  pages_[kSlideTab].push_back(slidePreview_->hwnd());
  named_.push_back({"BgCheck", AddControl(kSlideTab, L"BUTTON", L"Background &Image", WS_TABSTOP | BS_AUTOCHECKBOX,
                                          x + 318, y + 168, 150, 18, kBgCheck)});
  named_.push_back({"ImageBgfile", AddControl(kSlideTab, L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY,
                                              x + 318, y + 192, 150, 21, kImageBgfile)});
  add("BgImageButton", "Browse", x + 474, y + 190, 58, [this] { ChooseBackgroundImage(); });

  const int row1 = y + 242, row2 = y + 274;
  named_.push_back({"SpeedLabel", AddControl(kSlideTab, L"STATIC", L"Speed:", 0, x, row1 + 4, 44, 16, kLabel)});
  SpinEvents marks;
  marks.change = [this] { MarkChanged(SettingsPage::kSlide); };
  speedValue_ = std::make_unique<UpDownBox>(marks);
  speedValue_->Create(hwnd(), x + 46, row1, 64, 22);
  speedValue_->SetFont(font);
  speedValue_->SetMax(static_cast<int32_t>(KeyOf(SettingId::kSpeedvalue).high));
  pages_[kSlideTab].push_back(speedValue_->hwnd());
  named_.push_back({"SpeedValue", speedValue_->hwnd()});
  named_.push_back({"IntervalLabel", AddControl(kSlideTab, L"STATIC", L"Interval (x 0.5 s):", 0, x + 124, row1 + 4,
                                                100, 16, kLabel)});
  intervalValue_ = std::make_unique<UpDownBox>(marks);
  intervalValue_->Create(hwnd(), x + 226, row1, 64, 22);
  intervalValue_->SetFont(font);
  intervalValue_->SetMax(IntervalSteps(KeyOf(SettingId::kIntervalvalue).high));
  pages_[kSlideTab].push_back(intervalValue_->hwnd());
  named_.push_back({"IntervalValue", intervalValue_->hwnd()});
  named_.push_back({"LocationLabel", AddControl(kSlideTab, L"STATIC", L"Location:", 0, x + 318, row1 + 4, 54, 16, kLabel)});
  const HWND location = AddControl(kSlideTab, L"COMBOBOX", L"", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL,
                                   x + 374, row1, 100, 100, kImageLocation);
  FillCombo(location, {L"Center", L"Stretch"});
  named_.push_back({"ImageLocation", location});
  named_.push_back({"BackLabel", AddControl(kSlideTab, L"STATIC", L"Back color:", 0, x, row2 + 4, 60, 16, kLabel)});
  named_.push_back({"ColorPreview", AddControl(kSlideTab, L"STATIC", L"", SS_NOTIFY | WS_BORDER, x + 62, row2 + 1,
                                               40, 20, kColorPreview)});
  add("SlideBGcolor", "Color...", x + 108, row2, 70, [this] { ChooseColour(true); });
  named_.push_back({"IlCheck", AddControl(kSlideTab, L"BUTTON", L"&Interleaving", WS_TABSTOP | BS_AUTOCHECKBOX,
                                          x + 318, row2 + 3, 120, 18, kIlCheck)});
  for (UpDownBox* box : {speedValue_.get(), intervalValue_.get()}) ::ShowWindow(box->hwnd(), SW_HIDE);
}

void FrmSetting::CreateAdvancedPage(int x, int y) {
  const struct {
    const char* name;
    const wchar_t* text;
    int id;
  } boxes[] = {{"CheckGO3", L"Startup", kCheckGO3},
                {"CheckGO0", L"Display shortcut icon.", kCheckGO0},
                {"CheckGO1", L"Adjust shortcut icon transparent.", kCheckGO1},
                {"CheckGO2", L"Desktop image viewer.", kCheckGO2},
                {"BatteryCheck", L"Rest the movie on battery saver.", kBatteryCheck}};
  constexpr int kBoxCount = static_cast<int>(sizeof boxes / sizeof boxes[0]);
  for (int i = 0; i < kBoxCount; ++i)
    named_.push_back({boxes[i].name, AddControl(kAdvancedTab, L"BUTTON", boxes[i].text,
                                                WS_TABSTOP | BS_AUTOCHECKBOX, x + 16, y + 16 + 34 * i,
                                                240, 20, boxes[i].id)});
  const HWND fader = AddControl(kAdvancedTab, L"COMBOBOX", L"", WS_TABSTOP | CBS_DROPDOWN | WS_VSCROLL,
                                x + 262, y + 16 + 34 * 2 - 2, 70, 160, kIconFader);
  FillCombo(fader, {L"255", L"200", L"150", L"100", L"50", L"0"});
  ::SetWindowTextW(fader, L"255");
  named_.push_back({"iconFader", fader});
  // Below the check boxes: how the wallpaper covers several monitors, in the
  // order of the key's values.
  const int row = y + 16 + 34 * kBoxCount + 4;
  named_.push_back({"MonitorsLabel", AddControl(kAdvancedTab, L"STATIC", L"Several monitors:", 0, x + 16,
                                                row + 4, 110, 16, kLabel)});
  const HWND monitors = AddControl(kAdvancedTab, L"COMBOBOX", L"", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL,
                                   x + 130, row, 120, 100, kMonitors);
  FillCombo(monitors, {L"Each monitor", L"Span"});
  named_.push_back({"Monitors", monitors});
}

void FrmSetting::CreateHelpPage(int x, int y, int width, int height) {
  richEdit_.reset(::LoadLibraryW(L"riched20.dll"));
  const HWND help = AddControl(kHelpTab, richEdit_ ? RICHEDIT_CLASSW : L"EDIT", L"",
                               WS_VSCROLL | ES_MULTILINE | ES_READONLY | WS_BORDER, x, y, width, height,
                               kHelpText);
  if (help && richEdit_) {
    SETTEXTEX text{ST_DEFAULT, CP_ACP};
    ::SendMessageW(help, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&text), reinterpret_cast<LPARAM>(kHelpRtf));
    ::SendMessageW(help, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255));
  }
  named_.push_back({"HelpText", help});
}

}  // namespace velmora
