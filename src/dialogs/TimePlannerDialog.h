// The time planner's panel above the city list: a slider over the home
// city's day in quarter hours with - and + buttons, the home date and a
// "Now" button. The instant they choose, in the home city's local time, is
// turned into UTC and given to the list, which shows every city at it.
#pragma once

#include "info/WorkingHours.h"
#include "resources/ResourceIds.h"
#include "time/DateTime.h"
#include "wnd/Controls.h"
#include "wnd/Dialog.h"

namespace OBData {
class City;
class CityGroup;
}  // namespace OBData

namespace OBControls {
class CityGroupListCtrl;
}

class TimePlannerDialog;

// The thin strip under the planner's slider: the quarter hours of the home
// day at which every chosen city is within its working hours, each marked
// from its slider position to the next.
class WorkingHoursStrip : public ZEP_Wnd::Window {
public:
    static constexpr const wchar_t* kClassName = L"Orbelline_WorkingHoursStrip";
    static constexpr COLORREF kMarkColour = RGB(40, 150, 70);

    WorkingHoursStrip();
    bool Create(HWND parent, const RECT& rect);
    // The client x of slider positions 0 and 95.
    void SetTravel(int first, int last);
    void SetQuarters(const OBData::PlannerQuarters& quarters);
    const OBData::PlannerQuarters& GetQuarters() const { return m_quarters; }
    bool OnPaint() override;
    bool OnEraseBackground(HDC) override { return true; }

private:
    OBData::PlannerQuarters m_quarters{};
    int m_first = 0;
    int m_last = 0;
};

// One of the panel's controls, taken over so that Tab and Shift+Tab move the
// focus on through the panel and, past either end, back to the list.
template <class Control>
class TimePlannerControl : public Control {
public:
    explicit TimePlannerControl(TimePlannerDialog& panel) : m_panel(panel) {}
    bool OnKeyDown(UINT key, UINT flags) override;

private:
    TimePlannerDialog& m_panel;
};

class TimePlannerDialog : public ZEP_Wnd::Dialog {
public:
    static constexpr UINT kTemplateId = OBResources::kTimePlannerTemplate;
    // A child panel: sized to the whole screen at first, then laid out by the view.
    static constexpr DWORD kShellFlags = 12;
    static constexpr int kSliderId = OBResources::kPlannerSliderId;
    static constexpr int kEarlierId = OBResources::kPlannerEarlierId;
    static constexpr int kLaterId = OBResources::kPlannerLaterId;
    static constexpr int kDateId = OBResources::kPlannerDateId;
    static constexpr int kNowId = OBResources::kPlannerNowId;
    static constexpr int kDateGroupId = OBResources::kPlannerDateGroupId;
    static constexpr int kTimeGroupId = OBResources::kPlannerTimeGroupId;

    TimePlannerDialog(HWND parent, OBData::CityGroup* cityGroup, OBControls::CityGroupListCtrl* list);

    // Sets the date picker to the home city's local date and time of `utc`.
    void ShowHomeDate(const ZEP_Utility::DateTime& utc);
    // The slider position of `utc` on the home clock (and the picker set to
    // its date); -1 without a home city.
    int GetSliderPositionFor(const ZEP_Utility::DateTime& utc);
    // Shows every city at `position` of the picker's date on the home clock;
    // with `move` the slider goes there too. Nothing without a home city.
    void ApplySlider(int position, bool move);
    // After a change of the city group: a first home city starts the planner
    // at 12:00 today, a new home city reads the same clock time on its own
    // clock; otherwise nothing moves.
    void FollowHomeCity();
    // Marks on the strip the quarter hours of the picker's date when every
    // city is at work (after any change of the cities or the date).
    void UpdateStrip();

    // The chosen instant (UTC); empty until a home city gave one.
    const ZEP_Utility::DateTime& GetInstant() const { return m_instant; }
    int GetSliderPosition() const;
    // The panel's height: just below the date group.
    int GetPreferredHeight() const;
    // The list's row flags from the setting "plannerview_extrainfo": two-line
    // rows when on, one-line rows when off, separators in both.
    static DWORD GetRowFlags();

    // Focus on the panel's first control (or its last, `fromEnd`); for the
    // keys that come up from the list.
    void FocusFirst(bool fromEnd);
    void FocusSlider();
    // Tab (or Shift+Tab, `backwards`) from one of the panel's controls.
    void TabFrom(HWND control, bool backwards);

    ZEP_Wnd::TrackBar& GetSlider() { return m_slider; }
    WorkingHoursStrip& GetWorkingHoursStrip() { return m_strip; }
    ZEP_Wnd::DateTimePicker& GetDatePicker() { return m_datePicker; }

    void BindControls(bool attach) override;
    bool OnInitDialog() override;
    // Lays the panel out across its width (the slider, the date picker and
    // their groups grow, the buttons on the right follow the edge, the hour
    // labels stay under their places on the slider) and keeps the
    // working-hours strip under the slider.
    bool OnSize(SIZE client) override;
    // The slider, the three buttons and the date picker.
    bool OnHScroll(const ScrollParams& scroll) override;
    bool OnCommand(const CommandParams& command) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    // The panel is no dialog to close: Enter and Escape end nothing.
    void OnOK() override;
    void OnCancel() override;

private:
    // The locale's long date, or with short day and month names when the
    // widest date of the year would not fit the picker.
    void FitDateFormat();
    void OnSliderScroll(int code, int thumbPosition);
    // The strip under the slider's travel.
    void PlaceStrip();
    // The "00:00", "12:00", "00:00" labels centred under the thumb's places
    // for those times.
    void PlaceHourLabels();
    // The time group's title says when the chosen home clock time is one the
    // clock skips or shows twice that day.
    void FlagClockTime(const ZEP_Utility::DateTime& homeClock);

    OBData::CityGroup* m_cityGroup;
    OBControls::CityGroupListCtrl* m_list;
    TimePlannerControl<ZEP_Wnd::Window> m_earlier{*this};
    TimePlannerControl<ZEP_Wnd::TrackBar> m_slider{*this};
    TimePlannerControl<ZEP_Wnd::Window> m_later{*this};
    TimePlannerControl<ZEP_Wnd::DateTimePicker> m_datePicker{*this};
    TimePlannerControl<ZEP_Wnd::Window> m_now{*this};
    ZEP_Wnd::Window m_dateGroup;
    ZEP_Wnd::Window m_timeGroup;
    WorkingHoursStrip m_strip;
    ZEP_Utility::DateTime m_instant;
    // The home city the instant was worked out for.
    const OBData::City* m_instantHome = nullptr;
};
