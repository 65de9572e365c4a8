// A stand-in for the shell's desktop window, "Program Manager", as another
// process has it on Windows: the program's windows become its children.
// Runs until it is ended.
#include "tests/wine/ScreenWindowProgram.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return velmora::test::RunScreenWindow(instance, "Progman", "Program Manager", WS_EX_TOOLWINDOW, WS_CLIPCHILDREN,
                                        false);
}
