// The settings dialog's apply: the changed pages written to the settings,
// the start-up value of the registry, and the user told when the file
// could not take them.
#include "settingsdialog/FrmSetting.h"

#include "common/DesktopHost.h"
#include "common/WinText.h"
#include "settings/ProgramValues.h"

namespace velmora {
namespace {

// Why the settings file could not be written, from what the file system
// shows afterwards: something in the file's place, or no room for the
// new copy that replaces the file.
SaveProblem WhySaveFailed(const std::string& iniPath, const std::string& folder) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  uint64_t size = 0;
  if (::GetFileAttributesExW(SystemPath(iniPath).c_str(), GetFileExInfoStandard, &data)) {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return SaveProblem::kFolderInTheWay;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return SaveProblem::kReadOnly;
    size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  }
  ULARGE_INTEGER available{};
  if (::GetDiskFreeSpaceExW(SystemPath(folder + "\\").c_str(), &available, nullptr, nullptr) &&
      available.QuadPart <= size)
    return SaveProblem::kDiskFull;
  return SaveProblem::kUnknown;
}

}  // namespace

void FrmSetting::PressApply(int which, int mouseButton) {
  const BusyPointer busy;
  if (mouseButton == 2) return;  // a right-button press does nothing
  if (which == kCancelButton) {
    Close();
    return;
  }
  // Not saved: the user was told, and the dialog stays open with its values.
  if (!Apply()) return;
  if (which == kOkButton)
    Close();
  else
    optionsButton_[kApplyButton]->SetEnabled(false);
}

bool FrmSetting::Apply() {
  ApplyState state;
  state.page = page_;
  state.pageChosen = pageChosen_;
  state.advancedChanged = advancedChanged_;
  state.flashChanged = flashChanged_;
  state.slideChanged = slideChanged_;
  // The lists hold rows only once their page was shown.
  if (const std::optional<size_t> row = flashList_->Selected())
    state.currentFlash = StoreRows({flashList_->Rows()[*row]});
  if (AppliesPage(state, SettingsPage::kSlide)) {
    const std::string background = WindowText(Control("ImageBgfile"));
    if (!background.empty() && Checked(Control("BgCheck")))
      bgsave_.LoadLogo(background, 3, appDirectory_);  // writes "\BgTemp.bmp"
    else
      SetChecked(Control("BgCheck"), false);
  }
  if (!slideList_->Rows().empty()) state.slidePath = StoreRows(slideList_->Rows());
  state.options = Options();
  const SettingsChange change = ApplyWrites(state, settings_.Read());
  if (!pageChosen_ && change.keys.empty()) return true;  // nothing to apply
  // Every key tried, the failure told once.
  const bool saved = settings_.Write(change.settings, change.keys);
  flashPreview_->Stop();
  Button("Command1").SetCaption("Play");
  if (!saved) {
    // The marks stay: the next Ok tries all of it again, Cancel drops it.
    ReportSaveFailure();
    return false;
  }
  if (advancedChanged_) {
    SaveStartWithWindows(state.options.startup, appDirectory_);
    if (links_.advancedApplied) links_.advancedApplied();
  }
  advancedChanged_ = flashChanged_ = slideChanged_ = false;
  return true;
}

void FrmSetting::ReportSaveFailure() {
  const std::string text = SaveFailedText(WhySaveFailed(settings_.FilePath(), appDirectory_));
  if (choices_.message)
    choices_.message(text, "Velmora");
  else
    ::MessageBoxW(hwnd(), Wide(text).c_str(), L"Velmora", MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace velmora
