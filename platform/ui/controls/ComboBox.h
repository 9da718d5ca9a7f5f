// The "ComboBox" class as a drop-down list: a field showing the chosen
// item and a button that opens the list below (or above) it. The items
// live in the list, a "ComboLBox" pop-up owned by the combo box.
#pragma once

#include <string>

#include "platform/ui/controls/Control.h"

namespace ob::ui {

class ComboBox : public Control {
public:
    explicit ComboBox(HWND hwnd);
    ~ComboBox() override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC hdc, const RECT& client) override;
    int FieldHeight() const;
    int ButtonWidth() const;
    // The window back to the height of its field (the list drops below it).
    void FitField();
    void Drop(bool open);
    void Choose(int index);  // a choice made by the user
    LRESULT ToList(UINT msg, WPARAM wParam, LPARAM lParam) const;
    int Count() const;
    int ListSelection() const;  // the list's highlight
    std::wstring ItemText(int index) const;
    // After an item went in at `at` (negative: it did not): the choice
    // follows its item.
    LRESULT Inserted(LRESULT at);

    // The messages, one member each, answering as the message does.
    LRESULT OnCreate(const CREATESTRUCT* cs);
    void OnDestroy();
    void OnSize();
    void OnSetFont(HFONT font, bool redraw);
    LRESULT DeleteString(int index);
    void ResetContent();
    LRESULT SelectString(int after, LPARAM text);
    LRESULT SetCurSel(int index);
    LRESULT GetDroppedRect(RECT* out) const;
    UINT DialogCodes() const;
    void OnPenDown();
    void OnSetFocus();
    void OnKillFocus();
    void OnChar(wchar_t ch);
    void OnKeyDown(UINT key);

    HWND m_list = nullptr;
    int m_dropHeight = 0;  // the height the template gave: field plus list
    bool m_dropped = false;
    bool m_sizing = false;
    int m_selection = -1;  // the chosen item (the list's highlight may differ while open)
    TypeAhead m_typeAhead;
};

}  // namespace ob::ui
