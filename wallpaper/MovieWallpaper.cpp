#include "wallpaper/MovieWallpaper.h"

#include "settings/EntryList.h"

namespace velmora {

bool MovieWallpaper::Create(HWND parent, int width, int height) {
  parent_ = parent;
  controls_.front() = std::make_unique<MoviePlayerWindow>();
  return controls_.front()->Create(parent, 0, 0, width, height);
}

void MovieWallpaper::SetTiles(const std::vector<RECT>& tiles) {
  if (!parent_ || tiles.empty()) return;
  controls_.resize(tiles.size());  // the ones beyond close with their owners
  for (size_t i = 0; i < tiles.size(); ++i) {
    const RECT& r = tiles[i];
    if (!controls_[i]) {
      controls_[i] = std::make_unique<MoviePlayerWindow>();
      if (!controls_[i]->Create(parent_, r.left, r.top, r.right - r.left, r.bottom - r.top)) continue;
      Follow(*controls_[i]);
      continue;
    }
    controls_[i]->Move(r.left, r.top, r.right - r.left, r.bottom - r.top);
    controls_[i]->SetPaused(RestsNow(*controls_[i]));  // a moved control may now lie on a hidden monitor
  }
}

void MovieWallpaper::Follow(MoviePlayerWindow& control) {
  control.SetPaused(RestsNow(control));
  const MoviePlayerWindow& first = *controls_.front();
  if (!first.hwnd()) return;
  if (!first.Movie().empty()) {  // nothing was given to the first yet otherwise
    control.SetBackgroundColor(first.BackgroundColor());
    control.SetScaleMode(first.ScaleMode());
    control.SetQuality(first.Quality());
    control.SetMaxFrameRate(first.MaxFrameRate());
    control.SetMovie(first.Movie());
    if (!first.IsPlaying()) control.Stop();
  }
  control.SetVisible(::IsWindowVisible(first.hwnd()) != FALSE);
}

void MovieWallpaper::Start(const FlashSettings& settings) {
  // A value that could not be read was left as it was by the settings.
  const std::vector<std::string> pieces = SplitEntryPieces(settings.current);
  const MediaEntry entry = pieces.empty() ? MediaEntry{} : ParseEntry(pieces.front());
  entryParts_ = {entry.name, entry.location};
  mouseToMovie_ = settings.mouseToMovie;
  // Without a "|" there is no location, and the path cannot be built.
  if (!pieces.empty() && pieces.front().find('|') != std::string::npos)
    moviePath_ = EntryFilePath(entry, MediaSection(MediaList::kFlash), appDirectory_);
  for (auto& control : controls_) {
    if (!control) continue;
    control->Stop();
    control->SetVisible(true);
    control->SetBackgroundColor(static_cast<uint32_t>(settings.backgroundColour));
    control->SetScaleMode(static_cast<int16_t>(settings.scaleMode));
    control->SetQuality(static_cast<int16_t>(settings.quality));
    control->SetMaxFrameRate(static_cast<int>(settings.maxFrameRate));
    control->SetMovie(moviePath_);
    control->Play();
    control->Play();
  }
}

MoviePlayerWindow* MovieWallpaper::ControlUnder(POINT screen, POINT& client) {
  if (!mouseToMovie_) return nullptr;
  for (auto& control : controls_) {
    if (!control || !control->hwnd() || !::IsWindowVisible(control->hwnd())) continue;
    RECT r{};
    if (!::GetWindowRect(control->hwnd(), &r) || !::PtInRect(&r, screen)) continue;
    client = screen;
    ::ScreenToClient(control->hwnd(), &client);
    return control.get();
  }
  return nullptr;
}

void MovieWallpaper::PointerMoved(POINT screen) {
  POINT client{};
  if (MoviePlayerWindow* control = ControlUnder(screen, client)) control->PointerMoved(client.x, client.y);
}

void MovieWallpaper::PointerButton(POINT screen, bool down) {
  POINT client{};
  MoviePlayerWindow* control = ControlUnder(screen, client);
  if (down) {
    pressed_ = control;
    if (control) control->PointerButton(true, client.x, client.y);
    return;
  }
  MoviePlayerWindow* target = pressed_;
  pressed_ = nullptr;
  bool known = false;  // the pressed control may have been closed since
  for (auto& c : controls_) known = known || c.get() == target;
  if (!known || !target->hwnd()) return;
  client = screen;
  ::ScreenToClient(target->hwnd(), &client);
  target->PointerButton(false, client.x, client.y);
}

void MovieWallpaper::ShowBlank() {
  for (auto& control : controls_) {
    if (!control) continue;
    control->Stop();
    control->SetMovie(appDirectory_ + "\\blank.swf");
    control->Play();
  }
}

void MovieWallpaper::StopAndHide() {
  for (auto& control : controls_) {
    if (!control) continue;
    control->Stop();
    control->SetVisible(false);
  }
}

bool MovieWallpaper::RestsNow(const MoviePlayerWindow& control) const {
  if (paused_) return true;
  RECT place{};
  if (hidden_.empty() || !control.hwnd() || !::GetWindowRect(control.hwnd(), &place)) return false;
  return TileHidden({place.left, place.top, place.right, place.bottom}, hidden_);
}

void MovieWallpaper::SetPaused(bool paused, std::vector<ScreenBox> hidden) {
  paused_ = paused;
  hidden_ = std::move(hidden);
  for (auto& control : controls_)
    if (control) control->SetPaused(RestsNow(*control));
}

bool MovieWallpaper::ControlResting(size_t i) const { return i < controls_.size() && RestsNow(*controls_[i]); }

}  // namespace velmora
