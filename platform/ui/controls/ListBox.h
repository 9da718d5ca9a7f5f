// The "ListBox" class (sorted or not, single, multiple or extended
// selection, item data) and "ComboLBox", the drop-down list a combo box
// opens. In a multiple-selection list each tap toggles a row; in an
// extended one a tap selects that row alone, Ctrl toggles, Shift (or
// dragging the pen) selects the rows from the last one tapped, as desktop
// lists do.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/controls/Control.h"

namespace ob::ui {

// Case-blind ordering used by sorted lists and combo boxes.
int CompareItemText(const std::wstring& a, const std::wstring& b);

class ListBox : public Control {
public:
    explicit ListBox(HWND hwnd);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    struct Item {
        std::wstring text;
        LPARAM data = 0;
        bool selected = false;
    };

    void Paint(HDC hdc, const RECT& client) override;
    bool Multiple() const;
    bool Extended() const;
    bool Sorted() const;
    int ItemHeight() const;
    RECT ListArea() const;  // the client less the border and scroll bar
    int VisibleRows() const;
    int RowAt(POINT pt) const;  // -1 when below the last item
    void SetTop(int top);
    void EnsureVisible(int index);
    void UpdateScrollBar();
    void FitHeight();
    void Select(int index, bool notify);  // single selection (-1: none)
    void NotifySelChange();
    // Extended selection: exactly the rows from `from` to `to` (either order).
    void SelectRange(int from, int to);
    int Insert(int index, const std::wstring& text);

    std::vector<Item> m_items;
    int m_current = -1;  // the selected item (single) or the caret (multiple)
    int m_anchor = -1;   // extended selection: where a Shift range starts
    int m_top = 0;
    int m_itemHeight = 0;  // 0: from the font
    bool m_redraw = true;
    bool m_tracking = false;
    bool m_scrolls = false;  // created with WS_VSCROLL: the bar shows when needed
    bool m_updating = false;
    bool m_fitting = false;
    TypeAhead m_typeAhead;
};

// The drop-down list of a combo box: a pop-up that selects on pen-up and
// tells its combo box when the choice is made or cancelled.
class ComboListBox : public ListBox {
public:
    explicit ComboListBox(HWND hwnd) : ListBox(hwnd) {}
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    HWND m_combo = nullptr;  // from the creation parameter: a pop-up's owner is the top-level window
};

// Messages a drop-down list sends its combo box (private to the controls).
constexpr UINT OBM_COMBOLIST_DONE = WM_USER + 0x3F0;  // wParam: chosen index or -1 (cancelled)

}  // namespace ob::ui
