#include "app/TimePlannerListView.h"

#include <algorithm>
#include <utility>

#include "cli/ClockOutput.h"
#include "info/CityClock.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "platform/kernel/WideText.h"

TimePlannerListView::TimePlannerListView(OBData::CityGroup* cityGroup,
                                         OBControls::ViewCommandHandler* commandHandler)
    : MenuHandlingCityInfoListView(L"plannerview_list", cityGroup, commandHandler) {}

// The panel's window normally goes with the view's; a view dropped while
// its window exists takes the panel's window first.
TimePlannerListView::~TimePlannerListView() {
    if (m_panel && m_panel->GetHandle())
        m_panel->Destroy();
    m_panel.reset();
}

bool TimePlannerListView::CreateControls() {
    if (!CityInfoListView::CreateControls())
        return false;
    // Each row says whether its city is at work, awake or asleep then.
    m_list.SetDayPartTint(true);
    m_panel = std::make_unique<TimePlannerDialog>(m_hwnd, m_cityGroup, &m_list);
    if (!m_panel->CreateModeless())
        m_panel.reset();
    return true;
}

void TimePlannerListView::Layout() {
    if (!m_list.GetHandle())
        return;
    const RECT client = GetClientRect();
    const int width = client.right - client.left;
    int panelHeight = 0;
    if (m_panel && m_panel->GetHandle()) {
        panelHeight = std::min<int>(m_panel->GetPreferredHeight(), client.bottom - client.top);
        m_panel->MoveWindow(0, 0, width, panelHeight, true);
    }
    m_list.MoveWindow(0, panelHeight, width, client.bottom - client.top - panelHeight, true);
}

void TimePlannerListView::Activate() {
    MenuHandlingCityInfoListView::Activate();
    if (m_panel && m_panel->GetHandle()) {
        m_panel->ShowWindow(SW_SHOW);
        m_panel->UpdateWindow();
    }
}

void TimePlannerListView::Deactivate() {
    if (m_panel && m_panel->GetHandle())
        m_panel->ShowWindow(SW_HIDE);
    MenuHandlingCityInfoListView::Deactivate();
}

void TimePlannerListView::ApplySettings() {
    m_list.SetFlags(TimePlannerDialog::GetRowFlags());
    MenuHandlingCityInfoListView::ApplySettings();
}

void TimePlannerListView::SetTime(const ZEP_Utility::DateTime&) {}

std::wstring TimePlannerListView::GetListText() {
    const std::wstring table = MenuHandlingCityInfoListView::GetListText();
    if (table.empty() || !m_cityGroup->GetHomeCity() || m_list.GetTime().IsEmpty())
        return table;
    AppSettings& settings = GetAppSettings();
    const int timeFormat = settings.GetMainTimeFormat();
    const auto rows = OBData::BuildCityClock(*m_cityGroup, m_list.GetTime(), settings.GetUnits(), timeFormat);
    return ob::kernel::FromUtf8(ob::cli::FormatHomeTimeHeading(rows.front(), timeFormat)) + table;
}

bool TimePlannerListView::OnNotify(const NMHDR& header, LRESULT& result) {
    if (m_panel && header.idFrom == static_cast<UINT_PTR>(OBControls::kCityListId))
        OnListNotify(header);
    return MenuHandlingCityInfoListView::OnNotify(header, result);
}

void TimePlannerListView::OnListNotify(const NMHDR& header) {
    if (header.code == OBControls::kCityListSelectionChanged) {
        const auto& change = reinterpret_cast<const OBControls::CityListSelectionNotify&>(header);
        // A new group (every activation, the first run, a new home city)
        // may bring the first home city or another one.
        if (change.oldRow == -1) {
            m_panel->FollowHomeCity();
            m_panel->UpdateStrip();
        } else
            m_keyMovedSelection = true;
        return;
    }
    if (header.code != OBControls::kCityListKeyDown)
        return;
    const UINT key = reinterpret_cast<const NMKEY&>(header).nVKey;
    const bool moved = std::exchange(m_keyMovedSelection, false);
    if (key == VK_TAB)
        m_panel->FocusFirst((::GetKeyState(VK_SHIFT) & 0x8000) != 0);
    else if (key == VK_UP && !moved && m_list.GetSelectedRow() <= 0)
        m_panel->FocusSlider();
}
