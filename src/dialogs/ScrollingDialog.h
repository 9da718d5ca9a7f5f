// A dialog whose page scrolls when its controls do not fit the screen (the
// Options page and the About box on a landscape screen). It hands its
// scroller what concerns scrolling: each new size, its own vertical bar, the
// controls taking the focus and, when nothing on the page can take it, the
// arrow and page keys. A derived dialog lays its controls out in
// OnInitDialog and then calls m_scroller.Update.
#pragma once

#include "dialogs/DialogScroller.h"
#include "wnd/Dialog.h"

namespace OBControls {

class ScrollingDialog : public ZEP_Wnd::Dialog {
public:
    using Dialog::Dialog;

    // Measures the page again; the size change goes on as unhandled.
    bool OnSize(SIZE client) override;
    // The dialog's own bar; a scroll-bar control's messages are not handled.
    bool OnVScroll(const ScrollParams& scroll) override;
    // Brings a control that says it took the focus into view (a check box
    // says so only with BS_NOTIFY); the command goes on as unhandled.
    bool OnCommand(const CommandParams& command) override;
    // Asks for the arrow keys while the page itself has the focus.
    bool OnGetDlgCode(const MSG* message, LRESULT& codes) override;
    bool OnKeyDown(UINT key, UINT flags) override;

    const DialogScroller& GetScroller() const { return m_scroller; }

protected:
    DialogScroller m_scroller;
};

}  // namespace OBControls
