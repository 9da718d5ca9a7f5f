#include "app/TimePlannerListView.h"

#include <algorithm>

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
        m_panel->FollowHomeCity();
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

void TimePlannerListView::SaveCities() {
    MenuHandlingCityInfoListView::SaveCities();
    if (m_panel)
        m_panel->FollowHomeCity();
}

void TimePlannerListView::SetTime(const ZEP_Utility::DateTime&) {}

void TimePlannerListView::OnTimerTick() {
    // A home city chosen or changed elsewhere (the first run, the map view)
    // gives the planner its instant; the clock itself never moves it.
    if (m_panel)
        m_panel->FollowHomeCity();
}
