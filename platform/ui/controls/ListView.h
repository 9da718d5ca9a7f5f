// The "SysListView32" class in report view: rows of text with small and
// state pictures, optional further columns, single or multiple selection,
// full-row selection, a vertical scroll bar, and the item notifications.
// The column header is never shown (the program always hides it).
#pragma once

#include <string>
#include <vector>

#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/RowScroller.h"

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

    // What a paint works out once for all its rows.
    struct RowLook;

    void Paint(HDC hdc, const RECT& client) override;
    void PaintRow(HDC hdc, const Row& r, const RECT& row, const RowLook& look) const;
    void PaintCells(HDC hdc, const Row& r, const RECT& row, bool selected, const RowLook& look) const;
    bool Single() const { return (Style() & LVS_SINGLESEL) != 0; }
    int Count() const { return static_cast<int>(m_rows.size()); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    bool ValidColumn(int index) const { return index >= 0 && index < static_cast<int>(m_columns.size()); }
    COLORREF Background() const;
    int RowHeight() const;
    RECT ListArea() const;
    int VisibleRows() const;
    int RowAt(POINT pt, UINT* flags = nullptr) const;
    RECT RowRect(int index) const;
    int IconLeft() const;   // left edge of the small picture in a row
    int LabelLeft() const;  // left edge of the label text
    int TextWidth(const std::wstring& text) const;
    void EnsureVisible(int index);
    void UpdateScrollBar();
    // Changes one row's state with the changing/changed notifications;
    // false when the parent refused the change.
    bool SetState(int index, UINT state, UINT mask);
    // Clears `bits` on every row but `index`.
    void ClearOthers(int index, UINT bits);
    void SelectOnly(int index);
    void SetFocusRow(int index);
    // The keyboard took the focus to `row`: a single-selection list selects it.
    void KeyTo(int row);
    void NotifyItem(UINT code, int index, UINT changed, UINT oldState, UINT newState, POINT pt = {0, 0});
    int InsertRow(const LVITEM& item);
    bool FillItem(int index, LVITEM& item) const;
    bool ApplyItem(const LVITEM& item);
    // The width LVSCW_AUTOSIZE (`header`: LVSCW_AUTOSIZE_USEHEADER) gives column `index`.
    int AutoWidth(int index, bool header) const;
    HIMAGELIST* ImageListSlot(int which);

    // The messages, one member each, answering as the message does.
    void OnSize();
    void SetRedraw(bool redraw);
    LRESULT InsertItem(const LVITEM* item);
    LRESULT DeleteItem(int index);
    LRESULT DeleteAllItems();
    LRESULT GetItem(LVITEM* item) const;
    LRESULT SetItem(const LVITEM* item);
    LRESULT GetItemText(int index, LVITEM* item) const;
    LRESULT SetItemText(int index, const LVITEM* item);
    LRESULT SetItemState(int index, const LVITEM* item);
    LRESULT GetItemState(int index, UINT mask) const;
    LRESULT GetSelectedCount() const;
    int GetNextItem(int after, UINT flags) const;
    LRESULT EnsureVisibleItem(int index);
    LRESULT GetItemRect(int index, RECT* rect) const;
    LRESULT HitTest(LVHITTESTINFO* info) const;
    LRESULT SetImageList(int which, HIMAGELIST list);
    LRESULT GetImageList(int which);
    LRESULT SetExtendedStyle(DWORD mask, DWORD style);
    void SetBackground(COLORREF color);
    LRESULT InsertColumn(int index, const LVCOLUMN* column);
    LRESULT DeleteColumn(int index);
    LRESULT GetColumnWidth(int index) const;
    LRESULT SetColumnWidth(int index, int width);
    LRESULT GetColumn(int index, LVCOLUMN* column) const;
    LRESULT SetColumn(int index, const LVCOLUMN* column);
    void OnFocus(UINT code);
    void OnTap(POINT at, bool twice);
    void OnKeyDown(UINT key, UINT flags);
    void OnChar(wchar_t ch);

    std::vector<Row> m_rows;
    std::vector<Column> m_columns;
    HIMAGELIST m_small = nullptr;
    HIMAGELIST m_state = nullptr;
    HIMAGELIST m_normal = nullptr;
    DWORD m_exStyle = 0;
    RowScroller m_scroller;
    bool m_redraw = true;
    bool m_updating = false;
    COLORREF m_back = CLR_DEFAULT;
    TypeAhead m_typeAhead;
};

}  // namespace ob::ui
