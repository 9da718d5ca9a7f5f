// The "SysDateTimePick32" class: a date (or time) shown in the locale's
// format, changed field by field with the keys or the pen, or through a
// month calendar that drops down; every change by the user is reported
// with DTN_DATETIMECHANGE.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/controls/Control.h"

namespace ob::ui {

// Calendar helpers shared by the picker and its month calendar.
int DayOfWeek(int year, int month, int day);  // 0 = Sunday
bool ValidDate(const SYSTEMTIME& st);

class DateTimePicker : public Control {
public:
    explicit DateTimePicker(HWND hwnd);
    ~DateTimePicker() override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void CalendarClosed(const SYSTEMTIME* chosen);  // a day, or none when cancelled
    enum class Field { None, Day, Month, Year, Hour, Minute, Second, AmPm };
    struct Piece {
        std::wstring text;
        Field field = Field::None;
        int left = 0, right = 0;  // client x, filled when laid out
    };

    void Paint(HDC hdc, const RECT& client) override;
    std::wstring Picture() const;
    std::vector<Piece> Layout() const;
    // The field a run of `length` picture letters stands for; None for text.
    static Field FieldOf(wchar_t letter, size_t length);
    // Each piece's left and right edge, in the control's font.
    void PlaceAcross(std::vector<Piece>& pieces) const;
    int ButtonWidth() const;
    bool HasButton() const { return !(Style() & DTS_UPDOWN) && (Style() & DTS_TIMEFORMAT) != DTS_TIMEFORMAT; }
    void Change(Field field, int delta);  // a step of one field by the user
    void SetTime(const SYSTEMTIME& st, bool notify);
    void NotifyChange();
    void MoveField(int direction);
    void OpenCalendar();
    void ToggleCalendar();

    // The messages, each decoded by OnMessage.
    LRESULT QueryTime(SYSTEMTIME* out) const;
    BOOL AssignTime(WPARAM flag, const SYSTEMTIME* in);     // GDT_VALID or GDT_NONE
    void SetLimits(WPARAM which, const SYSTEMTIME* range);  // GDTR_ flags, [min, max]
    LRESULT QueryLimits(SYSTEMTIME* range) const;
    void SetFormat(const wchar_t* picture);
    void OnSetFocus();
    void OnKillFocus();
    void OnLButtonDown(POINT at);
    void OnKeyDown(WPARAM key);
    void CalendarKey(WPARAM key);  // while the calendar is open
    void FieldKey(WPARAM key);     // while it is closed

    SYSTEMTIME m_time{};
    bool m_valid = true;
    std::wstring m_format;  // DTM_SETFORMAT picture; empty: the style's
    Field m_active = Field::None;
    SYSTEMTIME m_min{}, m_max{};
    bool m_hasMin = false, m_hasMax = false;
    HWND m_calendar = nullptr;
};

}  // namespace ob::ui
