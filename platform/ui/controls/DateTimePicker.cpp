#include "platform/ui/controls/DateTimePicker.h"

#include <algorithm>

#include "platform/kernel/Calendar.h"
#include "platform/kernel/Locale.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/SelectGuard.h"
#include "platform/ui/controls/MessageParams.h"
#include "platform/ui/controls/MonthCalendar.h"

namespace ob::ui {

namespace {

ob::kernel::CalendarFields ToFields(const SYSTEMTIME& st) {
    ob::kernel::CalendarFields f;
    f.year = st.wYear;
    f.month = st.wMonth;
    f.dayOfWeek = st.wDayOfWeek;
    f.day = st.wDay;
    f.hour = st.wHour;
    f.minute = st.wMinute;
    f.second = st.wSecond;
    f.milliseconds = st.wMilliseconds;
    return f;
}

long long Key(const SYSTEMTIME& st) {
    return ((((static_cast<long long>(st.wYear) * 13 + st.wMonth) * 32 + st.wDay) * 24 + st.wHour) * 60 +
            st.wMinute) *
               60 +
           st.wSecond;
}

bool IsDateLetter(wchar_t c) { return c == L'd' || c == L'M' || c == L'y'; }

// Reads the quoted text that starts at picture[open] (a quote) into `text`;
// two quotes in a row stand for one. Returns the index of the closing quote,
// or the picture's length when it is missing.
size_t ReadQuoted(const std::wstring& picture, size_t open, std::wstring& text) {
    size_t j = open + 1;
    for (; j < picture.size(); ++j) {
        if (picture[j] == L'\'') {
            if (j + 1 < picture.size() && picture[j + 1] == L'\'') {
                text += L'\'';
                ++j;
                continue;
            }
            break;
        }
        text += picture[j];
    }
    return j;
}
bool IsTimeLetter(wchar_t c) { return c == L'h' || c == L'H' || c == L'm' || c == L's' || c == L't'; }

}  // namespace

int DayOfWeek(int year, int month, int day) {
    // Days since 1970-01-01 (a Thursday) on the proleptic Gregorian calendar.
    year -= month <= 2;
    int era = (year >= 0 ? year : year - 399) / 400;
    int yoe = year - era * 400;
    int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    long long days = static_cast<long long>(era) * 146097 + doe - 719468;
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

bool ValidDate(const SYSTEMTIME& st) {
    return st.wYear >= ob::kernel::kMinCalendarYear && st.wYear <= 9999 && st.wMonth >= 1 &&
           st.wMonth <= 12 && st.wDay >= 1 && st.wDay <= ob::kernel::DaysInMonth(st.wYear, st.wMonth) &&
           st.wHour < 24 && st.wMinute < 60 && st.wSecond < 60 && st.wMilliseconds < 1000;
}

DateTimePicker::DateTimePicker(HWND hwnd) : Control(hwnd) {
    // A new picker shows today, as the device's does.
    ob::kernel::CalendarFields now;
    if (ob::kernel::TicksToCalendar(ob::kernel::LocalNowTicks(), now)) {
        m_time = SYSTEMTIME{now.year, now.month, now.dayOfWeek, now.day, now.hour, now.minute, now.second, 0};
    } else {
        m_time = SYSTEMTIME{2000, 1, 6, 1, 0, 0, 0, 0};
    }
}

DateTimePicker::~DateTimePicker() {
    if (m_calendar && IsWindow(m_calendar))
        DestroyWindow(m_calendar);
}

std::wstring DateTimePicker::Picture() const {
    if (!m_format.empty())
        return m_format;
    DWORD style = Style();
    if ((style & DTS_TIMEFORMAT) == DTS_TIMEFORMAT)
        return ob::kernel::LocaleTimePicture();
    if (style & DTS_LONGDATEFORMAT)
        return ob::kernel::LocaleLongDatePicture();
    return ob::kernel::LocaleShortDatePicture();
}

std::vector<DateTimePicker::Piece> DateTimePicker::Layout() const {
    std::vector<Piece> pieces;
    std::wstring picture = Picture();
    ob::kernel::CalendarFields fields = ToFields(m_time);
    fields.dayOfWeek = static_cast<std::uint16_t>(DayOfWeek(m_time.wYear, m_time.wMonth, m_time.wDay));
    auto literal = [&](const std::wstring& text) {
        if (!pieces.empty() && pieces.back().field == Field::None)
            pieces.back().text += text;
        else
            pieces.push_back(Piece{text, Field::None});
    };
    for (size_t i = 0; i < picture.size();) {
        wchar_t c = picture[i];
        if (c == L'\'') {
            std::wstring text;
            size_t j = ReadQuoted(picture, i, text);
            literal(text.empty() && j == i + 1 ? L"'" : text);
            i = j + 1;
            continue;
        }
        if (!IsDateLetter(c) && !IsTimeLetter(c)) {
            literal(std::wstring(1, c));
            ++i;
            continue;
        }
        size_t j = i;
        while (j < picture.size() && picture[j] == c)
            ++j;
        std::wstring token = picture.substr(i, j - i);
        std::wstring text;
        bool ok = IsDateLetter(c) ? ob::kernel::FormatDatePicture(fields, token, text)
                                  : ob::kernel::FormatTimePicture(fields, token, text);
        if (!ok)
            text.clear();
        Field field = FieldOf(c, token.size());
        if (field == Field::None)
            literal(text);
        else
            pieces.push_back(Piece{text, field});
        i = j;
    }
    PlaceAcross(pieces);
    return pieces;
}

DateTimePicker::Field DateTimePicker::FieldOf(wchar_t letter, size_t length) {
    switch (letter) {
    case L'd': return length <= 2 ? Field::Day : Field::None;  // ddd and dddd name the weekday
    case L'M': return Field::Month;
    case L'y': return Field::Year;
    case L'h':
    case L'H': return Field::Hour;
    case L'm': return Field::Minute;
    case L's': return Field::Second;
    case L't': return Field::AmPm;
    default: return Field::None;
    }
}

void DateTimePicker::PlaceAcross(std::vector<Piece>& pieces) const {
    HDC hdc = GetDC(m_hwnd);
    {
        SelectGuard font(hdc, Font());
        int x = 3 * Scale();
        for (Piece& piece : pieces) {
            SIZE size{0, 0};
            GetTextExtentPoint32(hdc, piece.text.c_str(), static_cast<int>(piece.text.size()), &size);
            piece.left = x;
            piece.right = x += size.cx;
        }
    }
    ReleaseDC(m_hwnd, hdc);
}

int DateTimePicker::ButtonWidth() const { return HasButton() ? 13 * Scale() : 0; }

void DateTimePicker::SetTime(const SYSTEMTIME& st, bool notify) {
    SYSTEMTIME next = st;
    if (m_hasMin && Key(next) < Key(m_min))
        next = m_min;
    if (m_hasMax && Key(next) > Key(m_max))
        next = m_max;
    next.wDayOfWeek = static_cast<WORD>(DayOfWeek(next.wYear, next.wMonth, next.wDay));
    next.wMilliseconds = 0;
    bool changed = Key(next) != Key(m_time) || !m_valid;
    m_time = next;
    m_valid = true;
    Redraw();
    if (notify && changed)
        NotifyChange();
}

void DateTimePicker::NotifyChange() {
    NMDATETIMECHANGE nm{};
    nm.dwFlags = m_valid ? GDT_VALID : GDT_NONE;
    nm.st = m_time;
    Control::Notify(nm.nmhdr, DTN_DATETIMECHANGE);
}

void DateTimePicker::Change(Field field, int delta) {
    SYSTEMTIME st = m_time;
    auto wrap = [](int value, int low, int high) {
        int span = high - low + 1;
        return low + ((value - low) % span + span) % span;
    };
    switch (field) {
    case Field::Day:
        st.wDay = static_cast<WORD>(wrap(st.wDay + delta, 1, ob::kernel::DaysInMonth(st.wYear, st.wMonth)));
        break;
    case Field::Month: st.wMonth = static_cast<WORD>(wrap(st.wMonth + delta, 1, 12)); break;
    case Field::Year:
        st.wYear = static_cast<WORD>(std::clamp(st.wYear + delta, ob::kernel::kMinCalendarYear, 9999));
        break;
    case Field::Hour: st.wHour = static_cast<WORD>(wrap(st.wHour + delta, 0, 23)); break;
    case Field::Minute: st.wMinute = static_cast<WORD>(wrap(st.wMinute + delta, 0, 59)); break;
    case Field::Second: st.wSecond = static_cast<WORD>(wrap(st.wSecond + delta, 0, 59)); break;
    case Field::AmPm: st.wHour = static_cast<WORD>((st.wHour + 12) % 24); break;
    case Field::None: return;
    }
    // A day that the new month lacks becomes its last day (31 Jan + 1 month = 28/29 Feb).
    st.wDay = static_cast<WORD>(std::min<int>(st.wDay, ob::kernel::DaysInMonth(st.wYear, st.wMonth)));
    SetTime(st, true);
}

void DateTimePicker::MoveField(int direction) {
    std::vector<Piece> pieces = Layout();
    std::vector<Field> order;
    for (const Piece& p : pieces)
        if (p.field != Field::None)
            order.push_back(p.field);
    if (order.empty())
        return;
    auto it = std::find(order.begin(), order.end(), m_active);
    int at = it == order.end() ? (direction > 0 ? -1 : static_cast<int>(order.size()))
                               : static_cast<int>(it - order.begin());
    at = std::clamp(at + direction, 0, static_cast<int>(order.size()) - 1);
    m_active = order[static_cast<size_t>(at)];
    Redraw();
}

void DateTimePicker::OpenCalendar() {
    if (m_calendar)
        return;
    NMHDR nm{};
    Control::Notify(nm, DTN_DROPDOWN);
    RECT rc{};
    GetWindowRect(m_hwnd, &rc);
    m_calendar = CreateMonthCalendar(m_hwnd, rc, m_time);
    Redraw();
}

void DateTimePicker::CalendarClosed(const SYSTEMTIME* chosen) {
    if (!m_calendar)
        return;
    HWND calendar = m_calendar;
    m_calendar = nullptr;
    if (IsWindow(calendar))
        DestroyWindow(calendar);
    Redraw();
    if (chosen) {
        SYSTEMTIME st = m_time;
        st.wYear = chosen->wYear;
        st.wMonth = chosen->wMonth;
        st.wDay = chosen->wDay;
        SetTime(st, true);
    }
    NMHDR nm{};
    Control::Notify(nm, DTN_CLOSEUP);
}

LRESULT DateTimePicker::QueryTime(SYSTEMTIME* out) const {
    if (!out)
        return GDT_ERROR;
    if (!m_valid)
        return static_cast<LRESULT>(GDT_NONE);
    *out = m_time;
    return static_cast<LRESULT>(GDT_VALID);
}

BOOL DateTimePicker::AssignTime(WPARAM flag, const SYSTEMTIME* in) {
    if (flag == GDT_NONE) {
        if (!(Style() & DTS_SHOWNONE))
            return FALSE;
        m_valid = false;
        Redraw();
        return TRUE;
    }
    if (flag != GDT_VALID || !in || !ValidDate(*in))
        return FALSE;
    SetTime(*in, false);
    return TRUE;
}

void DateTimePicker::SetLimits(WPARAM which, const SYSTEMTIME* range) {
    m_hasMin = (which & GDTR_MIN) && range && ValidDate(range[0]);
    m_hasMax = (which & GDTR_MAX) && range && ValidDate(range[1]);
    if (m_hasMin)
        m_min = range[0];
    if (m_hasMax)
        m_max = range[1];
    if (m_valid)
        SetTime(m_time, false);
}

LRESULT DateTimePicker::QueryLimits(SYSTEMTIME* range) const {
    if (!range)
        return 0;
    if (m_hasMin)
        range[0] = m_min;
    if (m_hasMax)
        range[1] = m_max;
    return (m_hasMin ? GDTR_MIN : 0) | (m_hasMax ? GDTR_MAX : 0);
}

void DateTimePicker::SetFormat(const wchar_t* picture) {
    m_format = picture ? picture : L"";
    Redraw();
}

void DateTimePicker::OnSetFocus() {
    if (m_active == Field::None)
        MoveField(1);
    Redraw();
}

void DateTimePicker::OnKillFocus() {
    if (m_calendar)
        CalendarClosed(nullptr);
    Redraw();
}

void DateTimePicker::ToggleCalendar() {
    if (m_calendar)
        CalendarClosed(nullptr);
    else
        OpenCalendar();
}

void DateTimePicker::OnLButtonDown(POINT at) {
    SetFocus(m_hwnd);
    if (!Enabled())
        return;
    int x = at.x;
    RECT rc = Client();
    if (HasButton() && x >= rc.right - ButtonWidth()) {
        ToggleCalendar();
        return;
    }
    // A tap on a field makes it the one the keys change; a second tap
    // on the chosen field opens the calendar, as the pen has no keys.
    for (const Piece& piece : Layout()) {
        if (piece.field == Field::None || x < piece.left || x >= piece.right)
            continue;
        if (piece.field == m_active && HasButton())
            OpenCalendar();
        m_active = piece.field;
        Redraw();
        return;
    }
    if (HasButton())
        OpenCalendar();
}

void DateTimePicker::OnKeyDown(WPARAM key) {
    if (!m_valid)
        return;
    // F4 or Alt+Down opens and closes the calendar, as the pen does.
    if (HasButton() && (key == VK_F4 || (key == VK_DOWN && GetKeyState(VK_MENU) < 0)))
        ToggleCalendar();
    else if (m_calendar)
        CalendarKey(key);
    else
        FieldKey(key);
}

void DateTimePicker::CalendarKey(WPARAM key) {
    auto* calendar = dynamic_cast<MonthCalendar*>(FindControl(m_calendar));
    if (!calendar)
        return;
    switch (key) {
    case VK_LEFT: calendar->MoveDays(-1); break;
    case VK_RIGHT: calendar->MoveDays(1); break;
    case VK_UP: calendar->MoveDays(-7); break;
    case VK_DOWN: calendar->MoveDays(7); break;
    case VK_PRIOR: calendar->MoveMonths(-1); break;
    case VK_NEXT: calendar->MoveMonths(1); break;
    case VK_RETURN: {
        const SYSTEMTIME chosen = calendar->Selected();
        CalendarClosed(&chosen);
        break;
    }
    case VK_ESCAPE: CalendarClosed(nullptr); break;
    default: break;
    }
}

void DateTimePicker::FieldKey(WPARAM key) {
    switch (key) {
    case VK_LEFT: MoveField(-1); break;
    case VK_RIGHT: MoveField(1); break;
    case VK_UP: Change(m_active, 1); break;
    case VK_DOWN: Change(m_active, -1); break;
    case VK_PRIOR: Change(m_active, m_active == Field::Year ? 10 : 1); break;
    case VK_NEXT: Change(m_active, m_active == Field::Year ? -10 : -1); break;
    default: break;
    }
}

LRESULT DateTimePicker::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case DTM_GETSYSTEMTIME: return QueryTime(PointerFromParam<SYSTEMTIME>(lParam));
    case DTM_SETSYSTEMTIME: return AssignTime(wParam, PointerFromParam<const SYSTEMTIME>(lParam));
    case DTM_SETRANGE: SetLimits(wParam, PointerFromParam<const SYSTEMTIME>(lParam)); return TRUE;
    case DTM_GETRANGE: return QueryLimits(PointerFromParam<SYSTEMTIME>(lParam));
    case OBM_CALENDAR_CHOSEN: CalendarClosed(PointerFromParam<const SYSTEMTIME>(lParam)); return 0;
    case DTM_SETFORMAT: SetFormat(PointerFromParam<const wchar_t>(lParam)); return TRUE;
    // While the calendar is open, Enter and Escape are for it.
    case WM_GETDLGCODE: return m_calendar ? DLGC_WANTALLKEYS : DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_KILLFOCUS: OnKillFocus(); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(PointFromParam(lParam)); return 0;
    case WM_SYSKEYDOWN:  // Alt+Down comes as a system key, since Alt is held
        if (wParam != VK_DOWN)
            return Control::OnMessage(msg, wParam, lParam);
        OnKeyDown(wParam);
        return 0;
    case WM_KEYDOWN: OnKeyDown(wParam); return 0;
    default: return Control::OnMessage(msg, wParam, lParam);
    }
}

void DateTimePicker::Paint(HDC hdc, const RECT& rc) {
    const int s = Scale();
    bool enabled = Enabled();
    COLORREF ink = enabled ? GetSysColor(COLOR_WINDOWFRAME) : GetSysColor(COLOR_GRAYTEXT);
    COLORREF textColor = enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    FillSolid(hdc, rc, GetSysColor(COLOR_WINDOW));
    FrameSolid(hdc, rc, ink, s);
    int buttonWidth = ButtonWidth();
    if (buttonWidth) {
        RECT button{rc.right - buttonWidth, rc.top, rc.right, rc.bottom};
        bool open = m_calendar != nullptr;
        FillSolid(hdc, button, open ? ink : GetSysColor(COLOR_BTNFACE));
        FrameSolid(hdc, button, ink, s);
        DrawArrow(hdc, button, Arrow::Down, 7 * s, open ? GetSysColor(COLOR_BTNFACE) : ink);
    }
    if (!m_valid)
        return;
    int saved = SaveDC(hdc);
    IntersectClipRect(hdc, rc.left + s, rc.top + s, rc.right - buttonWidth, rc.bottom - s);
    {
        SelectGuard font(hdc, Font());
        TEXTMETRIC tm{};
        GetTextMetrics(hdc, &tm);
        int top = (rc.top + rc.bottom - tm.tmHeight) / 2;
        SetBkMode(hdc, TRANSPARENT);
        bool focused = Focused();
        for (const Piece& piece : Layout()) {
            COLORREF color = textColor;
            if (focused && piece.field != Field::None && piece.field == m_active) {
                FillSolid(hdc, {piece.left, top, piece.right, top + tm.tmHeight},
                          GetSysColor(COLOR_HIGHLIGHT));
                color = GetSysColor(COLOR_HIGHLIGHTTEXT);
            }
            SetTextColor(hdc, color);
            ExtTextOut(hdc, piece.left, top, 0, nullptr, piece.text.c_str(),
                       static_cast<UINT>(piece.text.size()), nullptr);
        }
    }
    RestoreDC(hdc, saved);
}

}  // namespace ob::ui
