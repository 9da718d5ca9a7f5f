// The screen's pixels as the drawing layer sees them. Internal.
#pragma once

#include <cstdint>

namespace ob::ui {

class Surface;
// The drawing surface over the screen's pixels.
Surface* ScreenSurface();

}  // namespace ob::ui
