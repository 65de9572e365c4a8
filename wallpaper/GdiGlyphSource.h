// The system's fonts for the movie player's device text: glyph outlines from
// GDI (GetGlyphOutlineW, quadratic and unhinted) and line metrics from
// GetTextMetricsW. The movie's generic names go to a face the system has:
// _sans to Arial, Tahoma or another sans face, _serif to Times New Roman and
// the like, _typewriter to Courier New and the like; a face the system lacks
// is drawn as _sans.
#pragma once

#include "common/Handles.h"
#include "player/render/GlyphSource.h"

#include <map>
#include <mutex>
#include <string>

namespace velmora {

class GdiGlyphSource : public swf::GlyphSource {
 public:
  GdiGlyphSource();

  bool Metrics(const swf::DeviceFont& font, swf::DeviceFontMetrics& out) override;
  bool Glyph(const swf::DeviceFont& font, char32_t code, swf::GlyphOutline& out) override;

  // The system face that draws `face` (UTF-8), empty when none does.
  std::wstring FaceFor(const std::string& face);

 private:
  std::wstring MappedFace(const std::string& face);  // with the lock held
  bool HasFace(const std::wstring& face);
  // Selects the font into the DC; false when it cannot be made.
  bool Select(const swf::DeviceFont& font);

  std::mutex mutex_;  // the DC is used by one drawing thread at a time
  UniqueMemoryDc dc_;
  UniqueGdiObject font_;
  UniqueSelection selected_;  // declared after the font: put back before the font goes
  swf::DeviceFont selectedFor_;
  bool anySelected_ = false;
  int pixelSize_ = 0;  // the selected font's em in whole pixels
  std::map<std::wstring, bool> faces_;  // faces asked for: whether the system has them
  std::map<std::string, std::wstring> mapped_;
};

}  // namespace velmora
