// Selecting a drawing object into a device context for a scope: the object
// that was selected before goes back when the guard ends, so drawing code
// never pairs SelectObject calls by hand.
//
//   {
//       ob::ui::SelectGuard font(hdc, m_font);
//       DrawTextW(hdc, ...);
//   }  // the previous font is selected again here
#pragma once

#include "platform/ui/Gdi.h"

namespace ob::ui {

// Selects `object` into `dc` and puts the previous object back on exit. A
// null DC or object selects nothing and restores nothing, so a control
// without a font of its own keeps the DC's current one.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc) {
        if (dc && object)
            m_previous = ::SelectObject(dc, object);
    }
    ~SelectGuard() {
        if (m_previous)
            ::SelectObject(m_dc, m_previous);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC m_dc = nullptr;
    HGDIOBJ m_previous = nullptr;
};

}  // namespace ob::ui
