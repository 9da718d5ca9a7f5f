// The SDL2 display: the device screen in a desktop window.
#include "platform/ui/display/Display.h"

namespace ob::ui {

std::unique_ptr<Display> MakeSdlDisplay(const ScreenMode&) { return nullptr; }

}  // namespace ob::ui
