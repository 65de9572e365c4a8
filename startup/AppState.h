// Process-wide values shared by the windows of the one user-interface thread.
#pragma once

#include "common/Handles.h"

#include <string>

namespace velmora {

struct AppState {
  OwnedMutex instanceMutex;      // held by the running instance until shut-down
  bool loadFinished = false;     // the background window's load is complete
  bool stopSlide = false;        // a running slide fade stops at its next frame
  bool showImageviewer = false;  // picture preview of image items
  long slideInterval = 0;        // milliseconds between slides
  long slideSpeed = 0;           // fade step per frame, 0..255
  long slideLocation = 0;        // 0 fitted and centred, 1 stretched
  std::string blankPngPath;      // the nearly transparent layer picture
  bool layoutDirty = false;      // item positions must be reloaded before the next composition
};

// The one instance of the process-wide values.
AppState& App();

}  // namespace velmora
