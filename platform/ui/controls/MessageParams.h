// Decoding a control message's parameters, so that each case of a control's
// procedure is one line that hands decoded values to a member.
#pragma once

#include "platform/ui/WinTypes.h"

namespace ob::ui {

// The point packed in a mouse message's lParam: signed client coordinates,
// so a captured pen left or above the control gives negative ones.
inline POINT PointFromParam(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// The signed low and high words of a packed pair (a range's two ends).
inline int SignedLowWord(LPARAM lParam) { return GET_X_LPARAM(lParam); }
inline int SignedHighWord(LPARAM lParam) { return GET_Y_LPARAM(lParam); }

// The structure a message's lParam points at; null when the caller passed none.
template <class T>
T* PointerFromParam(LPARAM lParam) {
    return reinterpret_cast<T*>(lParam);
}

}  // namespace ob::ui
