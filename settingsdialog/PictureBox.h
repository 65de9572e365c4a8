// A picture box of the settings dialog: a drawing of its own size kept
// between paints (the slide preview, the background-image preview, and the
// hidden box the slideshow's background picture is rendered in), and the
// routine that draws one picture file into it.
#pragma once

#include "common/Window.h"
#include "iconlayer/CDIB.h"

#include <functional>
#include <string>

namespace velmora {

class PictureBox : public Window {
 public:
  // A shown box, a child of `parent`.
  bool Create(HWND parent, int x, int y, int width, int height);
  // A box that is never shown (Bgsave): only its drawing.
  bool CreateHidden(int width, int height);

  int Width() const { return drawing_.Width(); }
  int Height() const { return drawing_.Height(); }
  const CDIB& Drawing() const { return drawing_; }

  // The whole box in one colour (its picture cleared).
  void Clear(COLORREF colour);
  // The colour the box is cleared with before a picture.
  void SetBackColor(COLORREF colour) { backColor_ = colour; }
  COLORREF BackColor() const { return backColor_; }
  // A 32-bit surface over what the box shows, stretched to the rectangle,
  // with a constant opacity.
  void DrawSurface(const CDIB& surface, int x, int y, int width, int height, uint8_t opacity);
  // Shows the drawing now.
  void Refresh();

  // LoadLogo: one picture file into the box. Mode 0 fades it in at its
  // fitted place (26 frames, 10 ms apart), 2 likewise in 13 frames, 1 draws
  // it stretched over the whole box, 3 does the same and writes the drawing
  // to "\BgTemp.bmp" in `appDirectory`. `stopFade` cuts the waits short. A
  // file that cannot be decoded leaves the box as it was; false then.
  bool LoadLogo(const std::string& file, int mode, const std::string& appDirectory,
                const std::function<bool()>& stopFade = {});

  // SaveDCAsBitmap: the drawing as a 24-bit BMP file (its file-size field
  // 0, the pixels at offset 54); false when it could not be written.
  bool SaveDCAsBitmap(const std::string& path) const;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Fill(COLORREF colour);

  CDIB drawing_;  // the box's persistent picture
  COLORREF backColor_ = RGB(0, 0, 0);
};

}  // namespace velmora
