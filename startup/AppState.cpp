#include "startup/AppState.h"

namespace velmora {

AppState& App() {
  static AppState state;
  return state;
}

}  // namespace velmora
