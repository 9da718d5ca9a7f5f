// The "SysListView32" class in report view: rows of text with small and
// state pictures, optional further columns, single or multiple selection,
// full-row selection, a vertical scroll bar, and the item notifications.
// The column header is never shown (the program always hides it).
#pragma once

#include <string>
#include <vector>

#include "platform/ui/controls/Control.h"

namespace ob::ui {

class ListView : public Control {
public:
    explicit ListView(HWND hwnd);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    struct Row {
        std::vector<std::wstring> texts;  // one per column, sub-items after the label
        int image = 0;
        UINT state = 0;  // LVIS_ bits and the state picture index
        LPARAM data = 0;
    };
    struct Column {
        std::wstring text;
        int width = 0;
        int format = LVCFMT_LEFT;
    };

    void Paint(HDC hdc, const RECT& client) override;
    bool Single() const { return (Style() & LVS_SINGLESEL) != 0; }
    int RowHeight() const;
    RECT ListArea() const;
    int VisibleRows() const;
    int RowAt(POINT pt, UINT* flags = nullptr) const;
    RECT RowRect(int index) const;
    int IconLeft() const;   // left edge of the small picture in a row
    int LabelLeft() const;  // left edge of the label text
    int TextWidth(const std::wstring& text) const;
    void SetTop(int top);
    void EnsureVisible(int index);
    void UpdateScrollBar();
    // Changes one row's state with the changing/changed notifications;
    // false when the parent refused the change.
    bool SetState(int index, UINT state, UINT mask);
    void SelectOnly(int index);
    void SetFocusRow(int index);
    void NotifyItem(UINT code, int index, UINT changed, UINT oldState, UINT newState, POINT pt = {0, 0});
    int InsertRow(const LVITEM& item);
    bool FillItem(int index, LVITEM& item) const;
    bool ApplyItem(const LVITEM& item);

    std::vector<Row> m_rows;
    std::vector<Column> m_columns;
    HIMAGELIST m_small = nullptr;
    HIMAGELIST m_state = nullptr;
    HIMAGELIST m_normal = nullptr;
    DWORD m_exStyle = 0;
    int m_top = 0;
    bool m_redraw = true;
    bool m_scrolls = false;  // created with WS_VSCROLL: the bar shows when needed
    bool m_updating = false;
    COLORREF m_back = CLR_DEFAULT;
    TypeAhead m_typeAhead;
};

}  // namespace ob::ui
