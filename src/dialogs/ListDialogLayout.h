// Fitting a dialog made for the pocket screen to the screen it is shown on:
// any size, either orientation. The controls are taken as the template
// placed them; on a wider screen the wide controls (lists, text boxes,
// combo boxes) and the boxes beside their labels grow with it, and what
// else stands in the right half moves right,
// buttons keeping their size; on a taller or shorter screen the given lists
// take or give the difference (keeping two rows) and what lies below them
// moves with it, so the buttons at the bottom stay on the screen.
// (A dialog with no such list scrolls instead: DialogScroller.)
#pragma once

#include <vector>

#include "platform/ui/Windows.h"

namespace OBControls {

// Lays the dialog out for its client area now. The first call remembers the
// controls as they stand (call it before anything else moves them) and
// which lists take the height; later calls (after every size change) lay
// out from that again, so they never drift.
// `scrolledBy` moves everything up by that much (a scrolled page).
// `heightGained` lays out as though the client were that much taller: room
// the caller wins back afterwards by moving controls up (two rows made one).
void FitListsToClient(HWND dialog, const std::vector<int>& listIds, int scrolledBy = 0, int heightGained = 0);
inline void FitListToClient(HWND dialog, int listId) { FitListsToClient(dialog, {listId}); }
// Only the widths: for a dialog that scrolls instead of fitting its height.
inline void FitWidthToClient(HWND dialog, int scrolledBy) { FitListsToClient(dialog, {}, scrolledBy); }

// A control's rectangle in its dialog's client coordinates.
RECT ControlRectInDialog(HWND dialog, HWND control);

}  // namespace OBControls
