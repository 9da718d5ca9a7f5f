#include "dialogs/TimePlannerDialog.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <string_view>

#include "app/CityGroupListCtrl.h"
#include "data/City.h"
#include "info/ClockChanges.h"
#include "dialogs/ListDialogLayout.h"
#include "info/PlannerTime.h"
#include "time/DisplayFormats.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "platform/kernel/Locale.h"
#include "wnd/Paint.h"

using ZEP_Utility::DateTime;

TimePlannerDialog::TimePlannerDialog(HWND parent, OBData::CityGroup* cityGroup,
                                     OBControls::CityGroupListCtrl* list)
    : Dialog(kTemplateId, parent, kShellFlags), m_cityGroup(cityGroup), m_list(list) {}

WorkingHoursStrip::WorkingHoursStrip() {
    ZEP_Wnd::RegisterWindowClass(kClassName, nullptr, ::LoadCursor(nullptr, IDC_ARROW), nullptr);
}

bool WorkingHoursStrip::Create(HWND parent, const RECT& rect) {
    return CreateChild(kClassName, L"", WS_CHILD | WS_VISIBLE, 0, rect, parent, 0);
}

void WorkingHoursStrip::SetTravel(int first, int last) {
    if (first == m_first && last == m_last)
        return;
    m_first = first;
    m_last = last;
    Invalidate(false);
}

void WorkingHoursStrip::SetQuarters(const OBData::PlannerQuarters& quarters) {
    if (quarters == m_quarters)
        return;
    m_quarters = quarters;
    Invalidate(false);
}

bool WorkingHoursStrip::OnPaint() {
    ZEP_Wnd::PaintDC paint(m_hwnd);
    if (!paint.IsValid())
        return true;
    const RECT client = GetClientRect();
    // The panel's own background, as its static texts have it.
    HBRUSH background = reinterpret_cast<HBRUSH>(
        ::SendMessage(GetParentHandle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(static_cast<HDC>(paint)),
                      reinterpret_cast<LPARAM>(m_hwnd)));
    if (!background)
        background = ::GetSysColorBrush(COLOR_BTNFACE);
    ::FillRect(paint, &client, background);
    ::SetDCBrushColor(paint, kMarkColour);
    const auto brush = static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
    const int last = OBData::kPlannerLastPosition;
    const auto pixel = [&](int position) { return m_first + (m_last - m_first) * position / last; };
    // Neighbouring quarters make one mark.
    for (int p = 0; p <= last; ++p) {
        if (!m_quarters[static_cast<std::size_t>(p)])
            continue;
        int end = p;
        while (end + 1 <= last && m_quarters[static_cast<std::size_t>(end + 1)])
            ++end;
        const RECT mark{pixel(p), client.top, std::max(pixel(end + 1), pixel(p) + 1), client.bottom};
        ::FillRect(paint, &mark, brush);
        p = end;
    }
    return true;
}

DWORD TimePlannerDialog::GetRowFlags() {
    using OBControls::CityGroupListCtrl;
    return GetAppSettings().GetPlannerViewExtraInfo()
               ? CityGroupListCtrl::kSeparatorLines
               : CityGroupListCtrl::kSeparatorLines | CityGroupListCtrl::kOneLineRows;
}

void TimePlannerDialog::BindControls(bool attach) {
    if (attach) {
        m_earlier.AttachDlgItem(m_hwnd, kEarlierId);
        m_slider.AttachDlgItem(m_hwnd, kSliderId);
        m_later.AttachDlgItem(m_hwnd, kLaterId);
        m_datePicker.AttachDlgItem(m_hwnd, kDateId);
        m_now.AttachDlgItem(m_hwnd, kNowId);
        m_dateGroup.AttachDlgItem(m_hwnd, kDateGroupId);
        m_timeGroup.AttachDlgItem(m_hwnd, kTimeGroupId);
    } else {
        for (ZEP_Wnd::Window* control : std::initializer_list<ZEP_Wnd::Window*>{
                 &m_earlier, &m_slider, &m_later, &m_datePicker, &m_now, &m_dateGroup, &m_timeGroup})
            control->Unsubclass();
    }
}

bool TimePlannerDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    m_slider.SetRange(OBData::kPlannerFirstPosition, OBData::kPlannerLastPosition);
    m_slider.SetTicFreq(4);
    if (m_list)
        m_list->SetFlags(GetRowFlags());
    // The layout takes the controls as the template placed them, before the
    // strip (which it leaves alone) exists.
    OBControls::FitWidthToClient(m_hwnd, 0);
    FitDateFormat();
    // The shell sized the panel to the screen; the view lays it out.
    const RECT window = GetWindowRect();
    MoveWindow(0, 0, window.right - window.left, window.bottom - window.top, false);
    m_strip.Create(m_hwnd, RECT{0, 0, 0, 0});
    PlaceStrip();
    // The planner opens at 12:00 of the home city's today.
    ShowHomeDate(DateTime::UtcNow());
    ApplySlider(OBData::kPlannerNoonPosition, true);
    return true;
}

namespace {

// Shortens the day and month names of a date picture: "dddd" to "ddd", "MMMM" to "MMM".
std::wstring ShortNames(std::wstring picture) {
    for (const wchar_t* full : {L"dddd", L"MMMM"}) {
        for (std::size_t at = picture.find(full); at != std::wstring::npos; at = picture.find(full, at + 3))
            picture.erase(at, 1);
    }
    return picture;
}

}  // namespace

void TimePlannerDialog::FitDateFormat() {
    if (!m_datePicker.GetHandle())
        return;
    ZEP_Wnd::WindowDC dc(m_datePicker.GetHandle());
    ZEP_Wnd::SelectGuard font(dc, reinterpret_cast<HFONT>(m_datePicker.SendMessage(WM_GETFONT)));
    const int scale = std::max(1, ::GetDeviceCaps(dc, LOGPIXELSX) / 96);
    const RECT client = m_datePicker.GetClientRect();
    // The picker keeps a margin on the left and its drop-down button on the right.
    const int room = client.right - client.left - (3 + 13 + 2) * scale;
    const auto widest = [&](const std::wstring& picture) {
        int width = 0;
        for (DateTime day(2026, 1, 1); day.GetYear() == 2026; day = day.AddDays(1)) {
            const std::wstring text = day.FormatDate(picture.c_str());
            SIZE size{};
            ::GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
            width = std::max<int>(width, size.cx);
        }
        return width;
    };
    const std::wstring longDate = ob::kernel::LocaleLongDatePicture();
    if (widest(longDate) <= room) {
        m_datePicker.SetFormat(L"");
        return;
    }
    const std::wstring shortNames = ShortNames(longDate);
    m_datePicker.SetFormat(widest(shortNames) <= room ? shortNames : ob::kernel::LocaleShortDatePicture());
}

void TimePlannerDialog::ShowHomeDate(const DateTime& utc) {
    const OBData::City* home = m_cityGroup ? m_cityGroup->GetHomeCity() : nullptr;
    if (!home || !m_datePicker.GetHandle())
        return;
    m_datePicker.SetTime(home->GetLocalTime(utc));
}

int TimePlannerDialog::GetSliderPositionFor(const DateTime& utc) {
    const OBData::City* home = m_cityGroup ? m_cityGroup->GetHomeCity() : nullptr;
    if (!home)
        return -1;
    ShowHomeDate(utc);
    return OBData::PlannerPosition(home->GetLocalTime(utc));
}

void TimePlannerDialog::ApplySlider(int position, bool move) {
    const OBData::City* home = m_cityGroup ? m_cityGroup->GetHomeCity() : nullptr;
    if (!home)
        return;
    const DateTime date = m_datePicker.GetTime();
    if (date.IsEmpty())
        return;
    position = std::clamp(position, OBData::kPlannerFirstPosition, OBData::kPlannerLastPosition);
    const DateTime clock = OBData::PlannerClockTime(date.GetYear(), date.GetMonth(), date.GetDay(), position);
    const DateTime instant = OBData::HomeClockToUtc(*m_cityGroup, clock);
    if (instant.IsEmpty())
        return;
    m_instant = instant;
    m_instantHome = home;
    UpdateStrip();
    FlagClockTime(clock);
    if (m_list)
        m_list->SetTime(m_instant, true);
    if (move)
        m_slider.SetPos(position);
}

void TimePlannerDialog::FollowHomeCity() {
    const OBData::City* home = m_cityGroup ? m_cityGroup->GetHomeCity() : nullptr;
    if (!home || home == m_instantHome)
        return;
    if (m_instant.IsEmpty()) {
        ShowHomeDate(DateTime::UtcNow());
        ApplySlider(OBData::kPlannerNoonPosition, true);
    } else {
        ApplySlider(GetSliderPosition(), true);
    }
}

void TimePlannerDialog::PlaceStrip() {
    if (!m_strip.GetHandle() || !m_slider.GetHandle())
        return;
    RECT channel{}, thumb{};
    m_slider.SendMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    m_slider.SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    // The thumb's centre travels from half a thumb inside the channel's left
    // end to half a thumb inside its right.
    const int half = (thumb.right - thumb.left - 1) / 2;
    const RECT slider = ScreenToClient(m_slider.GetWindowRect());
    const int scale = std::max(1, (slider.bottom - slider.top) / 30);
    const int height = 2 * scale + 1;
    // Over the slider's bottom edge, below its ticks; kept above the slider.
    ::SetWindowPos(m_strip.GetHandle(), HWND_TOP, slider.left, slider.bottom - height,
                   slider.right - slider.left, height, SWP_NOACTIVATE);
    m_strip.SetTravel(channel.left + half, channel.right - half - 1);
}

void TimePlannerDialog::FlagClockTime(const DateTime& homeClock) {
    const OBData::City* home = m_cityGroup ? m_cityGroup->GetHomeCity() : nullptr;
    if (!m_timeGroup.GetHandle() || !home)
        return;
    const std::wstring clock = OBData::FormatClockTime(GetAppSettings().GetMainTimeFormat(), homeClock);
    std::wstring title = L"Time";
    switch (OBData::ClassifyClockTime(*home, homeClock)) {
    case OBData::ClockHour::Skipped: title = L"Time: " + clock + L" is skipped"; break;
    case OBData::ClockHour::Repeated: title = L"Time: " + clock + L" comes twice"; break;
    case OBData::ClockHour::Normal: break;
    }
    if (m_timeGroup.GetWindowText() != title)
        m_timeGroup.SetWindowText(title);
}

void TimePlannerDialog::UpdateStrip() {
    if (!m_strip.GetHandle() || !m_cityGroup)
        return;
    const DateTime date = m_datePicker.GetTime();
    if (date.IsEmpty())
        return;
    const OBData::WorkingHours hours{GetAppSettings().GetWorkStart(), GetAppSettings().GetWorkEnd()};
    m_strip.SetQuarters(
        OBData::CommonWorkingQuarters(*m_cityGroup, date.GetYear(), date.GetMonth(), date.GetDay(), hours));
}

int TimePlannerDialog::GetSliderPosition() const { return m_slider.GetHandle() ? m_slider.GetPos() : 0; }

int TimePlannerDialog::GetPreferredHeight() const {
    if (!m_dateGroup.GetHandle())
        return 0;
    const RECT group = ScreenToClient(m_dateGroup.GetWindowRect());
    return group.bottom + 4;
}

template <class Control>
bool TimePlannerControl<Control>::OnKeyDown(UINT key, UINT flags) {
    if (key != VK_TAB)
        return Control::OnKeyDown(key, flags);
    m_panel.TabFrom(this->GetHandle(), (::GetKeyState(VK_SHIFT) & 0x8000) != 0);
    return true;
}

template class TimePlannerControl<ZEP_Wnd::Window>;
template class TimePlannerControl<ZEP_Wnd::TrackBar>;
template class TimePlannerControl<ZEP_Wnd::DateTimePicker>;

void TimePlannerDialog::FocusFirst(bool fromEnd) {
    const HWND target = fromEnd ? m_now.GetHandle() : m_earlier.GetHandle();
    if (target)
        ::SetFocus(target);
}

void TimePlannerDialog::FocusSlider() {
    if (m_slider.GetHandle())
        m_slider.SetFocus();
}

void TimePlannerDialog::TabFrom(HWND control, bool backwards) {
    const HWND order[] = {m_earlier.GetHandle(), m_slider.GetHandle(), m_later.GetHandle(),
                          m_datePicker.GetHandle(), m_now.GetHandle()};
    const int count = static_cast<int>(std::size(order));
    const int at = static_cast<int>(std::find(order, order + count, control) - order);
    const int next = at + (backwards ? -1 : 1);
    if (at < count && next >= 0 && next < count) {
        ::SetFocus(order[next]);
        return;
    }
    // Past either end: back to the list.
    if (m_list && m_list->GetHandle())
        m_list->SetFocus();
}

void TimePlannerDialog::OnOK() {}

void TimePlannerDialog::OnCancel() {
    if (m_list && m_list->GetHandle())
        m_list->SetFocus();
}

void TimePlannerDialog::OnSliderScroll(int code, int thumbPosition) {
    int position = 0;
    switch (code) {
    case TB_THUMBPOSITION:
    case TB_THUMBTRACK: position = thumbPosition; break;
    case TB_ENDTRACK: return;
    default: position = m_slider.GetPos(); break;
    }
    ApplySlider(position, true);
}

bool TimePlannerDialog::OnSize(SIZE) {
    if (!m_strip.GetHandle())
        return false;
    OBControls::FitWidthToClient(m_hwnd, 0);
    PlaceHourLabels();
    FitDateFormat();
    PlaceStrip();
    return false;
}

void TimePlannerDialog::PlaceHourLabels() {
    if (!m_slider.GetHandle())
        return;
    RECT channel{}, thumb{};
    m_slider.SendMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    m_slider.SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const RECT slider = ScreenToClient(m_slider.GetWindowRect());
    const int half = (thumb.right - thumb.left - 1) / 2;
    const int from = slider.left + channel.left + half, to = slider.left + channel.right - half - 1;
    const int steps = OBData::kPlannerLastPosition - OBData::kPlannerFirstPosition;
    // Midnight, noon and the next midnight, a step past the last position.
    const int places[] = {0, OBData::kPlannerNoonPosition - OBData::kPlannerFirstPosition, steps + 1};
    std::size_t next = 0;
    for (HWND c = ::GetWindow(m_hwnd, GW_CHILD); c && next < std::size(places);
         c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        ::GetClassName(c, name, 16);
        if (std::wstring_view(name) != L"STATIC" && std::wstring_view(name) != L"Static")
            continue;
        const RECT r = ScreenToClient([c] {
            RECT w{};
            ::GetWindowRect(c, &w);
            return w;
        }());
        const int width = r.right - r.left;
        const int centre = from + (to - from) * places[next++] / std::max(1, steps);
        ::SetWindowPos(c, nullptr, centre - width / 2, r.top, width, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool TimePlannerDialog::OnHScroll(const ScrollParams& scroll) {
    if (scroll.bar != m_slider.GetHandle())
        return false;
    OnSliderScroll(scroll.code, scroll.position);
    return true;
}

bool TimePlannerDialog::OnCommand(const CommandParams& command) {
    if (command.code != BN_CLICKED)
        return false;
    const int position = GetSliderPosition();
    switch (static_cast<int>(command.id)) {
    case kEarlierId:
        if (position > OBData::kPlannerFirstPosition)
            ApplySlider(position - 1, true);
        return true;
    case kLaterId:
        if (position <= OBData::kPlannerLastPosition)
            ApplySlider(position + 1, true);
        return true;
    case kNowId:
        if (const int now = GetSliderPositionFor(DateTime::UtcNow()); now != -1)
            ApplySlider(now, true);
        return true;
    default: return false;
    }
}

bool TimePlannerDialog::OnNotify(const NMHDR& header, LRESULT&) {
    if (header.idFrom != static_cast<UINT_PTR>(kDateId))
        return false;
    if (header.code != DTN_DATETIMECHANGE && header.code != NM_CLICK)
        return false;
    ApplySlider(GetSliderPosition(), true);
    return true;
}
