// A program of its own showing full screen in front (a game, a video): a
// popup window the size of the screen, or of the monitor whose rectangle
// "x y width height" its command line gives, brought to the front. Runs
// until it is ended.
#include "tests/wine/ScreenWindowProgram.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  return velmora::test::RunScreenWindow(instance, "VelmoraTestFullScreen", "Full screen", WS_EX_TOPMOST, 0, true,
                                        commandLine);
}
