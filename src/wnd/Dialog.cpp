#include "wnd/Dialog.h"

#include "platform/ui/Controls.h"
#include "platform/ui/html/HtmlControl.h"

#include "platform/ui/Shell.h"
#include "wnd/Library.h"

namespace ZEP_Wnd {
namespace {

// Messages whose answer a dialog procedure returns itself instead of
// storing it as the dialog's message result.
bool ReturnsDirectly(UINT message) {
    switch (message) {
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return true;
    default: return false;
    }
}

bool g_viewerReady = false;

}  // namespace

Dialog::Dialog(UINT templateId, HWND parent, DWORD shellFlags, UINT titleId, UINT menuBarId)
    : m_templateId(templateId),
      m_parent(parent),
      m_shellFlags(shellFlags),
      m_titleId(titleId),
      m_menuBarId(menuBarId) {}

INT_PTR Dialog::DoModal() {
    if (m_hwnd)
        return -1;
    return ::DialogBoxParam(GetInstanceHandle(), MAKEINTRESOURCE(static_cast<int>(m_templateId)), m_parent,
                            &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless() {
    if (m_hwnd)
        return false;
    const HWND hwnd =
        ::CreateDialogParam(GetInstanceHandle(), MAKEINTRESOURCE(static_cast<int>(m_templateId)), m_parent,
                            &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr && hwnd == m_hwnd;
}

bool Dialog::OnInitDialog() {
    SHINITDLGINFO info{};
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = m_hwnd;
    info.dwFlags = m_shellFlags;
    ::SHInitDialog(&info);
    if (m_menuBarId != 0)
        m_menuBar = CreateMenuBar(m_menuBarId);
    if (m_titleId != 0)
        SetWindowText(LoadString(m_titleId));
    return true;
}

void Dialog::OnOK() { ::EndDialog(m_hwnd, 1); }

void Dialog::OnCancel() { ::EndDialog(m_hwnd, 2); }

LRESULT Dialog::DefaultProc(UINT, WPARAM, LPARAM) {
    // A dialog procedure answers "not handled"; the dialog class does the rest.
    return FALSE;
}

LRESULT Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowManager* manager = GetWindowManager();
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<Dialog*>(lParam);
        if (!dialog || dialog->m_hwnd || !manager->Register(hwnd, dialog))
            return FALSE;
        dialog->m_hwnd = hwnd;
        dialog->m_driven = true;
        dialog->BindControls(true);
        return dialog->OnInitDialog() ? TRUE : FALSE;
    }
    auto* dialog = static_cast<Dialog*>(manager->Find(hwnd));
    if (!dialog)
        return FALSE;
    if (message == WM_DESTROY) {
        dialog->OnDestroy();
        dialog->BindControls(false);
        manager->Unregister(hwnd);
        dialog->m_hwnd = nullptr;
        dialog->m_driven = false;
        dialog->m_menuBar = nullptr;
        return FALSE;
    }
    // OK and Cancel (a button, the shell's Done) end the dialog before anything else sees them.
    const int commandId = message == WM_COMMAND ? static_cast<int>(CommandFromParams(wParam, lParam).id) : 0;
    if (commandId == IDOK || commandId == IDCANCEL) {
        if (commandId == IDOK)
            dialog->OnOK();
        else
            dialog->OnCancel();
        return TRUE;
    }
    return dialog->Dispatch(message, wParam, lParam);
}

LRESULT Dialog::Answer(UINT message, LRESULT result) {
    if (ReturnsDirectly(message))
        return result;
    if (m_hwnd && ::IsWindow(m_hwnd))
        ::SetWindowLongPtr(m_hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

// ----------------------------------------------------------------- Browser

void Browser::SetHtml(const std::wstring& text) {
    if (!m_hwnd)
        return;
    ::SendMessage(m_hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    ::SendMessage(m_hwnd, DTM_ADDTEXTW, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessage(m_hwnd, DTM_ENDOFSOURCE, 0, 0);
}

// -------------------------------------------------------------- HtmlDialog

HtmlDialog::HtmlDialog(HWND parent, DWORD shellFlags, UINT titleId, UINT menuBarId)
    : Dialog(kTemplateId, parent, shellFlags, titleId, menuBarId) {
    // The viewer library is set up once per process; a failure is tried again
    // by the next dialog, and so is a window system started again (a second
    // start in one process), which has forgotten the viewer's class.
    WNDCLASS viewerClass{};
    if (!g_viewerReady || !::GetClassInfo(GetInstanceHandle(), DISPLAYCLASS, &viewerClass))
        g_viewerReady = ::InitHTMLControl(GetInstanceHandle()) != FALSE;
}

bool HtmlDialog::IsViewerReady() { return g_viewerReady; }

void HtmlDialog::BindControls(bool attach) {
    if (attach)
        m_browser.AttachDlgItem(m_hwnd, kHtmlControlId);
    else
        m_browser.Unsubclass();
}

bool HtmlDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    if (m_browser.GetHandle()) {
        const RECT client = GetClientRect();
        m_browser.MoveWindow(0, 0, client.right - client.left, client.bottom - client.top, true);
        m_browser.SendMessage(WM_USER + 114, 0, 1);
        if (m_hasPending)
            m_browser.SetHtml(m_pendingHtml);
    }
    return true;
}

void HtmlDialog::SetHtml(const std::wstring& text) {
    // Text given before the dialog exists is shown when it opens.
    m_pendingHtml = text;
    m_hasPending = true;
    m_browser.SetHtml(text);
}

bool HtmlDialog::OnSize(SIZE client) {
    if (!m_browser.GetHandle())
        return false;
    m_browser.MoveWindow(0, 0, client.cx, client.cy, true);
    return true;
}

}  // namespace ZEP_Wnd
