#include "platform/ui/controls/MonthCalendar.h"

#include <algorithm>

#include "platform/kernel/Calendar.h"
#include "platform/kernel/Locale.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/controls/DateTimePicker.h"
#include "platform/ui/controls/MessageParams.h"

namespace ob::ui {

namespace {
std::wstring Format(int year, int month, int day, const wchar_t* picture) {
    ob::kernel::CalendarFields f;
    f.year = static_cast<std::uint16_t>(year);
    f.month = static_cast<std::uint16_t>(month);
    f.day = static_cast<std::uint16_t>(day);
    f.dayOfWeek = static_cast<std::uint16_t>(DayOfWeek(year, month, day));
    std::wstring out;
    ob::kernel::FormatDatePicture(f, picture, out);
    return out;
}
}  // namespace

int MonthCalendar::CellWidth() { return 19 * DensityScale(); }
int MonthCalendar::CellHeight() { return 14 * DensityScale(); }
int MonthCalendar::TitleHeight() { return 18 * DensityScale(); }

SIZE MonthCalendar::Measure() {
    int s = DensityScale();
    return SIZE{7 * CellWidth() + 4 * s, TitleHeight() + 7 * CellHeight() + 4 * s};
}

HWND CreateMonthCalendar(HWND owner, const RECT& anchor, const SYSTEMTIME& date) {
    SIZE size = MonthCalendar::Measure();
    RECT work{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    int x = std::clamp<int>(anchor.left, work.left, std::max<int>(work.left, work.right - size.cx));
    int y = anchor.bottom;
    if (y + size.cy > work.bottom) {
        // Above the picker when there is room, else as low as the screen
        // allows, over the picker if need be, but never off the screen.
        if (anchor.top - size.cy >= work.top)
            y = anchor.top - size.cy;
        else
            y = std::max<int>(work.top, work.bottom - size.cy);
    }
    HWND hwnd = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"ob_MonthCalendar", L"",
                               WS_POPUP | WS_BORDER, x, y, size.cx, size.cy, owner, nullptr, nullptr, owner);
    if (!hwnd)
        return nullptr;
    if (auto* calendar = dynamic_cast<MonthCalendar*>(FindControl(hwnd)))
        calendar->Show(date);
    HFONT font = reinterpret_cast<HFONT>(SendMessage(owner, WM_GETFONT, 0, 0));
    if (font)
        SendMessage(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(hwnd, SW_SHOWNA);
    return hwnd;
}

void MonthCalendar::Show(const SYSTEMTIME& date) {
    m_selected = date;
    m_year = date.wYear;
    m_month = date.wMonth;
    Redraw();
}

void MonthCalendar::MoveDays(int days) {
    ob::kernel::CalendarFields f;
    f.year = m_selected.wYear;
    f.month = m_selected.wMonth;
    f.day = m_selected.wDay;
    ob::kernel::Ticks ticks = 0;
    if (!ob::kernel::CalendarToTicks(f, ticks))
        return;
    ob::kernel::CalendarFields moved;
    constexpr ob::kernel::Ticks kDay = 86400 * ob::kernel::kTicksPerSecond;
    if (!ob::kernel::TicksToCalendar(ticks + days * kDay, moved) || moved.year > 9999)
        return;
    SYSTEMTIME next = m_selected;
    next.wYear = moved.year;
    next.wMonth = moved.month;
    next.wDay = moved.day;
    Show(next);
}

void MonthCalendar::MoveMonths(int months) {
    int index = m_selected.wYear * 12 + (m_selected.wMonth - 1) + months;
    if (index / 12 < ob::kernel::kMinCalendarYear || index / 12 > 9999)
        return;
    SYSTEMTIME next = m_selected;
    next.wYear = static_cast<WORD>(index / 12);
    next.wMonth = static_cast<WORD>(index % 12 + 1);
    next.wDay = static_cast<WORD>(std::min<int>(next.wDay, ob::kernel::DaysInMonth(next.wYear, next.wMonth)));
    Show(next);
}

SYSTEMTIME MonthCalendar::CellDate(int row, int column) const {
    // The grid starts on the Sunday on or before the first of the month.
    int first = DayOfWeek(m_year, m_month, 1);
    int day = row * 7 + column - first + 1;
    int year = m_year, month = m_month;
    while (day < 1) {
        if (--month < 1) {
            month = 12;
            --year;
        }
        day += ob::kernel::DaysInMonth(year, month);
    }
    while (day > ob::kernel::DaysInMonth(year, month)) {
        day -= ob::kernel::DaysInMonth(year, month);
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    return SYSTEMTIME{static_cast<WORD>(year),
                      static_cast<WORD>(month),
                      static_cast<WORD>(column),
                      static_cast<WORD>(day),
                      0,
                      0,
                      0,
                      0};
}

void MonthCalendar::StepMonth(int delta) {
    int index = m_year * 12 + (m_month - 1) + delta;
    if (index / 12 < ob::kernel::kMinCalendarYear || index / 12 > 9999)
        return;
    m_year = index / 12;
    m_month = index % 12 + 1;
    Redraw();
}

void MonthCalendar::OnCreate(const CREATESTRUCT* create) {
    if (create)
        m_picker = static_cast<HWND>(create->lpCreateParams);
}

void MonthCalendar::OnLButtonDown(POINT pt) {
    RECT rc = Client();
    int s = Scale();
    int left = rc.left + 2 * s, top = rc.top + 2 * s;
    if (pt.y < top + TitleHeight()) {
        int arrow = CellWidth() + 2 * s;
        if (pt.x < left + arrow)
            StepMonth(-1);
        else if (pt.x >= rc.right - 2 * s - arrow)
            StepMonth(1);
        return;
    }
    int row = (pt.y - top - TitleHeight()) / CellHeight() - 1;  // row 0 holds the day names
    int column = (pt.x - left) / CellWidth();
    if (row < 0 || row > 5 || column < 0 || column > 6)
        return;
    SYSTEMTIME chosen = CellDate(row, column);
    // Through a message, so a picker destroyed by its parent meanwhile
    // is not touched after its handler returns.
    SendMessage(m_picker, OBM_CALENDAR_CHOSEN, 0, reinterpret_cast<LPARAM>(&chosen));
}

LRESULT MonthCalendar::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        OnCreate(PointerFromParam<const CREATESTRUCT>(lParam));
        return Control::OnMessage(msg, wParam, lParam);
    case WM_MOUSEACTIVATE: return 3;  // MA_NOACTIVATE: the picker keeps the focus
    case WM_LBUTTONDOWN: OnLButtonDown(PointFromParam(lParam)); return 0;
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

void MonthCalendar::Paint(HDC hdc, const RECT& rc) {
    const int s = Scale();
    COLORREF window = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
    FillSolid(hdc, rc, window);
    int left = rc.left + 2 * s, top = rc.top + 2 * s;
    int cw = CellWidth(), ch = CellHeight(), th = TitleHeight();
    // Title: the month and year between the two arrows.
    RECT title{left, top, left + 7 * cw, top + th};
    FillSolid(hdc, title, GetSysColor(COLOR_HIGHLIGHT));
    DrawLabel(hdc, Font(), Format(m_year, m_month, 1, L"MMMM yyyy"), title,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, GetSysColor(COLOR_HIGHLIGHTTEXT));
    RECT back{title.left, title.top, title.left + cw, title.bottom};
    RECT next{title.right - cw, title.top, title.right, title.bottom};
    DrawArrow(hdc, back, Arrow::Left, 7 * s, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawArrow(hdc, next, Arrow::Right, 7 * s, GetSysColor(COLOR_HIGHLIGHTTEXT));
    // Day names: the first letter of each, Sunday first.
    int gridTop = top + th;
    SYSTEMTIME sunday = CellDate(0, 0);
    for (int c = 0; c < 7; ++c) {
        int y = sunday.wYear, m = sunday.wMonth, d = sunday.wDay + c;
        if (d > ob::kernel::DaysInMonth(y, m)) {
            d -= ob::kernel::DaysInMonth(y, m);
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
        std::wstring name = Format(y, m, d, L"ddd").substr(0, 1);
        RECT cell{left + c * cw, gridTop, left + (c + 1) * cw, gridTop + ch};
        DrawLabel(hdc, Font(), name, cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, text);
    }
    FillSolid(hdc, {left, gridTop + ch - s, left + 7 * cw, gridTop + ch}, GetSysColor(COLOR_BTNSHADOW));
    // Today gets a frame, the picker's date the highlight.
    ob::kernel::CalendarFields today{};
    bool haveToday = ob::kernel::TicksToCalendar(ob::kernel::LocalNowTicks(), today);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 7; ++c) {
            SYSTEMTIME day = CellDate(r, c);
            RECT cell{left + c * cw, gridTop + (r + 1) * ch, left + (c + 1) * cw, gridTop + (r + 2) * ch};
            bool inMonth = day.wMonth == m_month;
            bool isSelected = day.wYear == m_selected.wYear && day.wMonth == m_selected.wMonth &&
                              day.wDay == m_selected.wDay;
            COLORREF color = inMonth ? text : GetSysColor(COLOR_GRAYTEXT);
            if (isSelected) {
                FillSolid(hdc, cell, GetSysColor(COLOR_HIGHLIGHT));
                color = GetSysColor(COLOR_HIGHLIGHTTEXT);
            }
            if (haveToday && day.wYear == today.year && day.wMonth == today.month && day.wDay == today.day)
                FrameSolid(hdc, cell, GetSysColor(COLOR_WINDOWFRAME), s);
            DrawLabel(hdc, Font(), std::to_wstring(day.wDay), cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                      color);
        }
}

}  // namespace ob::ui
