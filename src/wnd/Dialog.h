// Dialogs from templates, modal or modeless, full-screen on the device; the
// dialog showing one HTML page; the HTML viewer control's wrapper.
#pragma once

#include <string>

#include "wnd/Window.h"

namespace ZEP_Wnd {

// The shell flags of the program's dialogs: Done button, full screen, empty
// menu bar, input panel down.
constexpr DWORD kFullScreenDialogFlags = 45;

class Dialog : public Window {
public:
    Dialog(UINT templateId, HWND parent, DWORD shellFlags = kFullScreenDialogFlags, UINT titleId = 0,
           UINT menuBarId = 0);

    // Runs the dialog modally; the value given to EndDialog (1 OK, 2 Cancel, ...), -1 on failure.
    INT_PTR DoModal();
    bool CreateModeless();

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    UINT GetTemplateId() const { return m_templateId; }
    HWND GetMenuBar() const { return m_menuBar; }

    static LRESULT DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A dialog procedure answers TRUE for a handled message and leaves the
    // result as the dialog's message result, except for the messages whose
    // result it returns itself.
    LRESULT Answer(UINT message, LRESULT result) override;

    UINT m_templateId;
    HWND m_parent;
    DWORD m_shellFlags;
    UINT m_titleId;
    UINT m_menuBarId;
    HWND m_menuBar = nullptr;
};

// The platform's HTML viewer control.
class Browser : public Window {
public:
    void SetHtml(const std::wstring& text);
};

class HtmlDialog : public Dialog {
public:
    static constexpr UINT kTemplateId = 30002;
    static constexpr int kHtmlControlId = 30002;

    HtmlDialog(HWND parent, DWORD shellFlags = kFullScreenDialogFlags, UINT titleId = 0, UINT menuBarId = 0);

    virtual void SetHtml(const std::wstring& text);

    void BindControls(bool attach) override;
    bool OnInitDialog() override;
    // The viewer always fills the dialog.
    bool OnSize(SIZE client) override;

    Browser& GetBrowser() { return m_browser; }
    // Whether the viewer library could be initialised (tried again at each
    // construction until it succeeds once).
    static bool IsViewerReady();

protected:
    Browser m_browser;
    std::wstring m_pendingHtml;
    bool m_hasPending = false;
};

}  // namespace ZEP_Wnd
