// Thin wrappers of the platform's controls: each operation is one message.
#pragma once

#include <string>

#include "platform/ui/Controls.h"
#include "time/DateTime.h"
#include "wnd/ImageList.h"
#include "wnd/Window.h"

namespace ZEP_Wnd {

class ListBox : public Window {
public:
    void ResetContent() const;
    int GetCount() const;
    int AddString(const std::wstring& text) const;
    int InsertString(int index, const std::wstring& text) const;
    int DeleteString(int index) const;
    std::wstring GetText(int index) const;
    int GetTextLength(int index) const;
    int GetCurSel() const;
    int SetCurSel(int index) const;
    LPARAM GetItemData(int index) const;
    int SetItemData(int index, LPARAM data) const;
    // Lists with multiple selection: whether an item is selected, and (de)selecting it.
    bool GetSel(int index) const;
    int SetSel(int index, bool selected) const;
};

class ComboBox : public Window {
public:
    int AddString(const std::wstring& text) const;
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index) const;
    LPARAM GetItemData(int index) const;
    int SetItemData(int index, LPARAM data) const;
};

class ListCtrl : public Window {
public:
    DWORD SetExtendedStyle(DWORD style) const;
    // Width and sub-item are given only when not negative.
    int InsertColumn(int index, const std::wstring& text, int width = -1, int subItem = -1) const;
    bool SetColumnWidth(int column, int width) const;
    int InsertItem(int index, const std::wstring& text, int image, LPARAM data) const;
    bool DeleteItem(int index) const;
    bool DeleteAllItems() const;
    int GetItemCount() const;
    int GetSelectedCount() const;
    int GetNextItem(int start, UINT flags) const;
    std::wstring GetItemText(int index, int subItem = 0) const;
    bool SetItem(int index, UINT state, UINT stateMask, int image) const;
    bool SetItemState(int index, UINT state, UINT stateMask) const;
    LPARAM GetItemData(int index) const;
    bool EnsureVisible(int index) const;
    int GetItemImage(int index) const;
    HIMAGELIST SetImageList(HIMAGELIST list, int kind) const;
};

// A list with a check box per row: the row's picture is its check state.
class CheckListCtrl : public ListCtrl {
public:
    static constexpr UINT kStateBitmapId = 30001;

    // 1 checked, 0 unchecked; pictures above 2 read as unchecked.
    int GetCheck(int index) const;
    bool SetCheck(int index, bool checked) const;
    void ToggleCheck(int index) const;

    bool OnAttach() override;
    bool OnCreate(CREATESTRUCT* createInfo) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Return toggles the selected row's box.
    bool OnKeyDown(UINT key, UINT flags) override;

private:
    bool Prepare();
    ImageList m_states;
};

class DateTimePicker : public Window {
public:
    bool SetTime(const ZEP_Utility::DateTime& time) const;
    // The empty DateTime when the control holds no valid time.
    ZEP_Utility::DateTime GetTime() const;
    // A date picture ("ddd, MMM d, yyyy"); the empty text returns to the style's format.
    void SetFormat(const std::wstring& picture) const;
};

class TrackBar : public Window {
public:
    void SetRange(int minimum, int maximum, bool redraw = true) const;
    void SetPos(int position, bool redraw = true) const;
    void SetTicFreq(int frequency) const;
    int GetPos() const;
};

}  // namespace ZEP_Wnd
