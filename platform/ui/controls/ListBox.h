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
#include "platform/ui/controls/RowScroller.h"

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
    int Count() const { return static_cast<int>(m_items.size()); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
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

    // The pen, which the drop-down list handles its own way.
    virtual void OnPenDown(POINT at, UINT flags);
    virtual void OnPenMove(POINT at);
    virtual void OnPenUp(POINT at);

    std::vector<Item> m_items;
    int m_current = -1;  // the selected item (single) or the caret (multiple)
    int m_anchor = -1;   // extended selection: where a Shift range starts
    RowScroller m_scroller;
    int m_itemHeight = 0;  // 0: from the font
    bool m_redraw = true;
    bool m_tracking = false;
    bool m_scrolls = false;  // created with WS_VSCROLL: the bar shows when needed
    bool m_updating = false;
    bool m_fitting = false;
    TypeAhead m_typeAhead;

private:
    // The messages, one member each; the LB_ ones answer as the message does.
    void OnCreate();
    void OnSize();
    void SetRedraw(bool redraw);
    int AddString(const std::wstring& text);
    LRESULT InsertString(int index, const std::wstring& text);
    LRESULT DeleteString(int index);
    void ResetContent();
    LRESULT GetText(int index, LPWSTR out) const;
    LRESULT GetTextLength(int index) const;
    LRESULT SetItemData(int index, LPARAM data);
    LRESULT SetCurSel(int index);
    LRESULT GetCurSel() const;
    LRESULT SetSel(bool select, int index);
    LRESULT GetSel(int index) const;
    LRESULT GetSelCount() const;
    LRESULT GetSelItems(int capacity, int* out) const;
    // The next item after `after` (wrapping round) that starts with `text`,
    // or is it when `exact`.
    LRESULT FindString(int after, const std::wstring& text, bool exact) const;
    LRESULT SelectString(int after, const std::wstring& text);
    LRESULT SetTopIndex(int index);
    LRESULT GetItemRect(int index, RECT* out) const;
    LRESULT SetItemHeight(int height);
    LRESULT SetCaretIndex(int index);
    void OnFocus(WORD code);
    void OnDoubleTap(POINT at, UINT flags);
    void OnKeyDown(UINT key);
    void OnChar(wchar_t ch);

    // A tap on `row` (-1: below the items) with the MK_ flags.
    void TapRow(int row, UINT flags);
    // The caret to `row`, scrolled into view.
    void MoveCaret(int row);
    // The keyboard took the caret to `row` (`keys`: with Shift and Ctrl
    // as they are held; else typing): an extended list selects as it goes,
    // a list of several choices moves its caret, a single one selects.
    void KeyTo(int row, bool keys);
};

// The drop-down list of a combo box: a pop-up that selects on pen-up and
// tells its combo box when the choice is made or cancelled.
class ComboListBox : public ListBox {
public:
    explicit ComboListBox(HWND hwnd) : ListBox(hwnd) {}
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The combo box comes as the creation parameter: a pop-up's owner is
    // the top-level window.
    void TakeCombo(const CREATESTRUCT* cs);
    // Hands the focus straight back to the combo box.
    void GiveFocusBack();
    void OnPenDown(POINT at, UINT flags) override;
    void OnPenMove(POINT at) override;
    void OnPenUp(POINT at) override;

    HWND m_combo = nullptr;  // from the creation parameter: a pop-up's owner is the top-level window
};

// Messages a drop-down list sends its combo box (private to the controls).
constexpr UINT OBM_COMBOLIST_DONE = WM_USER + 0x3F0;  // wParam: chosen index or -1 (cancelled)

}  // namespace ob::ui
