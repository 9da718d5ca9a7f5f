// Fitting a dialog whose layout is one tall list between controls to a screen
// shorter than the layout (a landscape screen).
// (A dialog with no such list scrolls instead: DialogScroller.)
#pragma once

#include "platform/ui/Windows.h"

namespace OBControls {

// When the dialog's controls reach below its client area, the list view
// `listId` gives up height (keeping three rows) and every control below it
// moves up by as much, so that the buttons at the bottom stay on the screen.
void FitListToClient(HWND dialog, int listId);

// A control's rectangle in its dialog's client coordinates.
RECT ControlRectInDialog(HWND dialog, HWND control);

}  // namespace OBControls
