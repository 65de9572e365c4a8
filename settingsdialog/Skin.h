// The skin of the borderless windows (the settings dialog, the splash
// window): the skin template stretched to the window's size, painted as
// its face, and the magenta of it cut out of the window.
#pragma once

#include "controls/RgbPicture.h"
#include "controls/Transparent.h"

#include <windows.h>

#include <string>

namespace velmora {

// LoadSkin: composes the skin for the window's client size at `dpi`, gives
// the window its shape through `shape`, and returns the skin to paint. The
// skin is made in memory; "\Skintemp.bmp" in the application folder gets a
// copy when the folder can be written, and nothing depends on reading it back.
RgbPicture LoadSkin(HWND window, const std::string& appDirectory, Transparent& shape, int dpi = 96);

// useSkins: the skin of width x height at `dpi` from the templates built
// into the program (the one drawn at twice the size above 96 DPI), written
// to "\Skintemp.bmp" in `appDirectory` when possible (an empty folder name
// writes nothing). Empty when the template is missing.
RgbPicture useSkins(int width, int height, const std::string& appDirectory, int dpi = 96);

// A press of the left button on a skinned window's title strip: the system
// moves the window as if its title bar were dragged.
void DragByTitleStrip(HWND window);

}  // namespace velmora
