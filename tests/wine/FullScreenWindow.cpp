// A program of its own showing full screen in front (a game, a video): a
// popup window the size of the screen, brought to the front. Runs until it is
// ended.
#include "tests/wine/ScreenWindowProgram.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return velmora::test::RunScreenWindow(instance, "VelmoraTestFullScreen", "Full screen", WS_EX_TOPMOST, 0, true);
}
