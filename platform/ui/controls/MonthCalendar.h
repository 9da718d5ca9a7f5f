// The month calendar a date picker drops down: one month of days with
// arrows to the months before and after; a tap on a day chooses it.
#pragma once

#include "platform/ui/controls/Control.h"

namespace ob::ui {

// The calendar tells its picker of the chosen day (lParam: SYSTEMTIME*).
constexpr UINT OBM_CALENDAR_CHOSEN = WM_USER + 0x3F1;

// Opens the calendar below (or above) `anchor` (screen coordinates) for
// the picker `owner`, showing the month of `date`.
HWND CreateMonthCalendar(HWND owner, const RECT& anchor, const SYSTEMTIME& date);

class MonthCalendar : public Control {
public:
    explicit MonthCalendar(HWND hwnd) : Control(hwnd) {}
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Show(const SYSTEMTIME& date);
    // The keys of the picker while the calendar is open: the marked day
    // moves by days or by months (the day kept, clipped to the month).
    void MoveDays(int days);
    void MoveMonths(int months);
    const SYSTEMTIME& Selected() const { return m_selected; }

    static SIZE Measure();

private:
    void Paint(HDC hdc, const RECT& client) override;
    static int CellWidth();
    static int CellHeight();
    static int TitleHeight();
    // The date shown in cell (row, column) of the grid.
    SYSTEMTIME CellDate(int row, int column) const;
    void StepMonth(int delta);
    void OnCreate(const CREATESTRUCT* create);  // learns its picker
    void OnLButtonDown(POINT pt);               // a month arrow or a day

    HWND m_picker = nullptr;  // from the creation parameter
    SYSTEMTIME m_selected{};
    int m_year = 2000, m_month = 1;
};

}  // namespace ob::ui
