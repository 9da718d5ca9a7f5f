// The "Edit" class, single-line: typing, caret and selection, digits-only
// input, a text limit, and the change and focus notifications.
#pragma once

#include <string>

#include "platform/ui/controls/Control.h"

namespace ob::ui {

class Edit : public Control {
public:
    explicit Edit(HWND hwnd);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC hdc, const RECT& client) override;

    RECT TextArea() const;
    int TextWidth(size_t count) const;       // pixels of the first `count` characters
    size_t CharAt(int x) const;              // caret index nearest to client x
    void Replace(const std::wstring& with);  // replaces the selection, as typed
    void SetSelection(size_t anchor, size_t caret);
    void ScrollToCaret();
    void Changed();         // after a change by the user
    void SyncWindowText();  // keeps WM_GETTEXT in step

    // The messages, each decoded by OnMessage.
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT GetSelection(DWORD* start, DWORD* end) const;  // either may be null
    void SelectRange(int start, int end);
    void SetReadOnly(bool readOnly);
    void OnSetFocus();
    void OnKillFocus();
    void OnLButtonDown(POINT at);
    void OnMouseMove(POINT at);
    void OnLButtonUp();
    void OnKeyDown(WPARAM key);
    void OnChar(wchar_t ch);

    std::wstring m_text;
    size_t m_anchor = 0;  // selection is [min(anchor, caret), max(anchor, caret))
    size_t m_caret = 0;
    int m_scroll = 0;  // pixels scrolled off to the left
    size_t m_limit = 30000;
    bool m_modified = false;
    bool m_selecting = false;
};

}  // namespace ob::ui
