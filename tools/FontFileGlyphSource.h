// Device fonts from TrueType files in a folder (Debian's fonts-dejavu-core
// by default): _sans, _serif and _typewriter, and the common Windows faces
// mapped onto them; any other face is drawn as _sans. Advances and line
// metrics are whole pixels, as the system's fonts give them.
#pragma once

#include "player/render/GlyphSource.h"
#include "tools/TrueTypeFont.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace velmora::tools {

// Where Debian's fonts-dejavu-core puts its files.
constexpr const char* kDejaVuFolder = "/usr/share/fonts/truetype/dejavu";

class FontFileGlyphSource : public swf::GlyphSource {
 public:
  explicit FontFileGlyphSource(std::string folder = kDejaVuFolder) : folder_(std::move(folder)) {}

  bool Metrics(const swf::DeviceFont& font, swf::DeviceFontMetrics& out) override;
  bool Glyph(const swf::DeviceFont& font, char32_t code, swf::GlyphOutline& out) override;

  // The file a face is drawn from, without the folder: "DejaVuSans-Bold.ttf".
  static std::string FileFor(const swf::DeviceFont& font, bool withItalic);

 private:
  const TrueTypeFont* FontFor(const swf::DeviceFont& font);

  std::string folder_;
  std::mutex mutex_;
  std::map<std::string, std::unique_ptr<TrueTypeFont>> fonts_;  // by file; null when it cannot be read
};

}  // namespace velmora::tools
