#include "dialogs/ScrollingDialog.h"

namespace OBControls {

bool ScrollingDialog::OnSize(SIZE client) {
    m_scroller.Update(m_hwnd);
    return Dialog::OnSize(client);
}

bool ScrollingDialog::OnVScroll(const ScrollParams& scroll) {
    if (scroll.bar)
        return Dialog::OnVScroll(scroll);
    m_scroller.OnScroll(scroll.code);
    return true;
}

bool ScrollingDialog::OnCommand(const CommandParams& command) {
    if (command.from && (command.code == BN_SETFOCUS || command.code == CBN_SETFOCUS))
        m_scroller.EnsureVisible(command.from);
    return Dialog::OnCommand(command);
}

bool ScrollingDialog::OnGetDlgCode(const MSG* message, LRESULT& codes) {
    if (::GetFocus() != m_hwnd)
        return Dialog::OnGetDlgCode(message, codes);
    codes = DLGC_WANTARROWS;
    return true;
}

bool ScrollingDialog::OnKeyDown(UINT key, UINT flags) {
    return m_scroller.OnKey(key) || Dialog::OnKeyDown(key, flags);
}

}  // namespace OBControls
