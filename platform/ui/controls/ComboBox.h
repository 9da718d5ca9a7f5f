// The "ComboBox" class as a drop-down list: a field showing the chosen
// item and a button that opens the list below (or above) it. The items
// live in the list, a "ComboLBox" pop-up owned by the combo box.
#pragma once

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
    void Drop(bool open);
    void Choose(int index);  // a choice made by the user
    LRESULT ToList(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_list = nullptr;
    int m_dropHeight = 0;  // the height the template gave: field plus list
    bool m_dropped = false;
    bool m_sizing = false;
    int m_selection = -1;  // the chosen item (the list's highlight may differ while open)
    TypeAhead m_typeAhead;
};

}  // namespace ob::ui
