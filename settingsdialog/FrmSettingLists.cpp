// The settings dialog's media lists and previews: adding and deleting
// files, the movie preview, the colours and the background picture, rows
// opened by a double click and slides reordered by dragging.
#include "settingsdialog/FrmSetting.h"

#include "common/WinText.h"
#include "settingsdialog/FrmSettingIds.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

namespace velmora {
namespace {

using namespace setting_ids;

// "Open File...": one existing file, or nothing when the user cancels.
std::optional<std::string> AskForFile(HWND owner, const std::string& filter) {
  std::wstring pattern = Wide(filter);
  for (wchar_t& c : pattern)
    if (c == L'|') c = L'\0';
  pattern.append(2, L'\0');
  std::vector<wchar_t> path(32768, L'\0');  // long paths are not cut
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = pattern.c_str();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = L"Open File...";
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
  return Utf8(path.data());
}

std::optional<COLORREF> AskForColour(HWND owner, COLORREF current) {
  static COLORREF custom[16] = {};  // the user's own colours, kept for the run
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.rgbResult = current;
  dialog.lpCustColors = custom;
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!::ChooseColorW(&dialog)) return std::nullopt;
  return dialog.rgbResult;
}

}  // namespace

void FrmSetting::AddFile(bool slides) {
  const std::string filter = slides ? kPictureFilter : kFlashFilter;
  const std::optional<std::string> chosen = choices_.file ? choices_.file(filter) : AskForFile(hwnd(), filter);
  if (!chosen || chosen->empty()) return;
  // The list's stored form separates files with "*" and "|": a name with
  // one of them would break the list.
  if (!StorableInList(*chosen)) {
    const std::string text = "\"" + *chosen +
                             "\" cannot be added: Velmora's lists cannot hold a name with \"*\" or \"|\" in it.";
    if (choices_.message)
      choices_.message(text, "Prompt");
    else
      ::MessageBoxW(hwnd(), Wide(text).c_str(), L"Prompt", MB_OK | MB_ICONINFORMATION);
    return;
  }
  // The list is stored at once; the user hears when the file could not take it.
  if ((slides ? slideList_ : flashList_)->Append(*chosen) == MediaListView::Change::kNotStored)
    ReportSaveFailure();
}

void FrmSetting::DeleteRow(bool slides) {
  Button(slides ? "DelImage" : "DelFlash").SetEnabled(false);
  const MediaListView::Change change = (slides ? slideList_ : flashList_)->DeleteSelected();
  if (change == MediaListView::Change::kNotStored) ReportSaveFailure();
  if (change != MediaListView::Change::kRefused) return;
  const std::string text = "Velmora must save 2 records.";
  if (choices_.message)
    choices_.message(text, "Prompt");
  else
    ::MessageBoxW(hwnd(), Wide(text).c_str(), L"Prompt", MB_OK | MB_ICONINFORMATION);
}

void FrmSetting::TogglePreview() {
  ucCustomButton& command = Button("Command1");
  if (command.Caption() == "Play") {
    const std::optional<size_t> row = flashList_->Selected();
    if (!row) return;
    flashPreview_->SetMovie(flashList_->FileOf(*row));
    flashPreview_->Play();
    command.SetCaption("Stop");
  } else {
    command.SetCaption("Play");
    flashPreview_->Stop();
  }
}

void FrmSetting::ChooseColour(bool slides) {
  COLORREF& colour = slides ? slideColour_ : flashColour_;
  const std::optional<COLORREF> chosen = choices_.colour ? choices_.colour(colour) : AskForColour(hwnd(), colour);
  if (!chosen) return;
  colour = *chosen & 0xFFFFFF;
  (slides ? slideSwatch_ : flashSwatch_).reset(::CreateSolidBrush(colour));
  ::InvalidateRect(Control(slides ? "ColorPreview" : "Flashcolorv"), nullptr, TRUE);
  // A new colour can be applied like any other change (the slideshow's
  // too, or it could never be stored on its own).
  if (slides)
    slidePreview_->Clear(colour);
  else
    flashPreview_->SetBackgroundColor(colour);
  MarkChanged(slides ? SettingsPage::kSlide : SettingsPage::kFlash);
}

void FrmSetting::ChooseBackgroundImage() {
  const std::optional<std::string> chosen =
      choices_.file ? choices_.file(kPictureFilter) : AskForFile(hwnd(), kPictureFilter);
  if (!chosen || chosen->empty()) return;
  MarkChanged(SettingsPage::kSlide);
  ::SetWindowTextW(Control("ImageBgfile"), Wide(*chosen).c_str());
  slidePreview_->LoadLogo(*chosen, 1, appDirectory_);
}

void FrmSetting::ListClicked(bool slides) {
  if (slides) {
    Button("DelImage").SetEnabled(true);
    MarkChanged(SettingsPage::kSlide);
    if (const std::optional<size_t> row = slideList_->Selected())
      slidePreview_->LoadLogo(slideList_->FileOf(*row), 0, appDirectory_, [this] { return stopFade_; });
  } else {
    Button("Command1").SetCaption("Play");
    flashPreview_->Stop();
    Button("DelFlash").SetEnabled(true);
    MarkChanged(SettingsPage::kFlash);
  }
}

void FrmSetting::OnNotify(const NMHDR& header) {
  const bool slides = header.idFrom == kSlideList;
  if (header.idFrom != kFlashList && !slides) return;
  MediaListView& list = slides ? *slideList_ : *flashList_;
  switch (header.code) {
    case NM_CLICK:
      ListClicked(slides);
      break;
    case NM_DBLCLK:
      // The file opens in the program the system gives its kind.
      if (const std::optional<size_t> row = list.Selected())
        if (links_.open) links_.open(list.FileOf(*row));
      break;
    case LVN_BEGINDRAG:
      if (slides) {
        draggedSlide_ = static_cast<size_t>(reinterpret_cast<const NMLISTVIEW&>(header).iItem);
        ::SetCapture(hwnd());
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32516)));  // the up arrow
      }
      break;
    default:
      break;
  }
}

void FrmSetting::DragMove(POINT screen) {
  RECT list;
  ::GetWindowRect(slideList_->hwnd(), &list);
  // Near the top or bottom edge (100 twips, about 7 pixels) the list
  // scrolls a line.
  const int edge = ::MulDiv(100, ::GetDeviceCaps(GetWindowDc(nullptr).get().dc, LOGPIXELSY), 1440);
  if (screen.y < list.top + edge)
    ::SendMessageW(slideList_->hwnd(), WM_VSCROLL, SB_LINEUP, 0);
  else if (screen.y > list.bottom - edge)
    ::SendMessageW(slideList_->hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
}

void FrmSetting::DragEnd(POINT screen) {
  const size_t dragged = *draggedSlide_;
  draggedSlide_.reset();
  ::ReleaseCapture();
  DropDraggedSlide(dragged, screen);
}

void FrmSetting::DropDraggedSlide(size_t dragged, POINT screen) {
  POINT at = screen;
  ::ScreenToClient(slideList_->hwnd(), &at);
  RECT client;
  ::GetClientRect(slideList_->hwnd(), &client);
  if (!::PtInRect(&client, at)) return;  // dropped outside the list
  std::vector<MediaRow> rows = slideList_->Rows();
  const std::optional<size_t> target = slideList_->RowAt(at);
  const std::optional<size_t> moved =
      MoveDraggedRow(rows, dragged, target, !target && slideList_->BelowLastRow(at));
  if (!moved) return;
  slideList_->SetRows(std::move(rows));
  slideList_->Select(*moved);
  MarkChanged(SettingsPage::kSlide);
}

}  // namespace velmora
