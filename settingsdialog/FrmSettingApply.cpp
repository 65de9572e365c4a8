// The settings dialog's apply: the changed pages written to Wallpaper.ini,
// the start-up value of the registry, and the user told when the file
// could not take them.
#include "settingsdialog/FrmSetting.h"

#include "common/DesktopHost.h"
#include "common/PathText.h"
#include "common/WinText.h"
#include "settings/IniFile.h"
#include "settings/Registry.h"

namespace velmora {
namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

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

void FrmSetting::WriteStartup(bool on) const {
  wchar_t module[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::string exe = GetFileNamePart(Utf8(module));
  const size_t dot = exe.rfind('.');
  const std::string name = dot == std::string::npos ? exe : exe.substr(0, dot);
  if (on) {
    // The current user's own Run key: one that user can write. The path is
    // quoted, for folders with blanks.
    SaveRegString(HKEY_CURRENT_USER, kRunKey, name, "\"" + appDirectory_ + "\\" + exe + "\"");
  } else {
    DeleteRegValue(HKEY_CURRENT_USER, kRunKey, name);
    // A value an older start-up switch left for all users goes too, where
    // this user may remove it; refused, it stays.
    DeleteRegValue(HKEY_LOCAL_MACHINE, kRunKey, name);
  }
}

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
  const std::vector<IniWrite> writes = ApplyWrites(state);
  if (!pageChosen_ && writes.empty()) return true;  // nothing to apply
  bool saved = true;
  for (const IniWrite& write : writes)  // every key tried, the failure told once
    saved = WriteIniString(ini_, write.section, write.key, write.value) && saved;
  flashPreview_->Stop();
  Button("Command1").SetCaption("Play");
  if (!saved) {
    // The marks stay: the next Ok tries all of it again, Cancel drops it.
    ReportSaveFailure();
    return false;
  }
  if (advancedChanged_) {
    WriteStartup(state.options.startup);
    if (links_.advancedApplied) links_.advancedApplied();
  }
  advancedChanged_ = flashChanged_ = slideChanged_ = false;
  return true;
}

void FrmSetting::ReportSaveFailure() {
  const std::string text = SaveFailedText(WhySaveFailed(ini_, appDirectory_));
  if (choices_.message)
    choices_.message(text, "Velmora");
  else
    ::MessageBoxW(hwnd(), Wide(text).c_str(), L"Velmora", MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace velmora
