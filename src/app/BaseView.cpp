#include "app/BaseView.h"

#include "app/ViewCommandHandler.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "wnd/Library.h"

namespace OBControls {

BaseView::BaseView(OBData::CityGroup* cityGroup, ViewCommandHandler* commandHandler)
    : m_cityGroup(cityGroup), m_commandHandler(commandHandler) {
    ZEP_Wnd::RegisterWindowClass(kClassName, nullptr, ::LoadCursor(nullptr, IDC_ARROW),
                                 static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}

bool BaseView::OnSize(SIZE) {
    Layout();
    return true;
}

bool BaseView::OnTimer(UINT_PTR id) {
    if (id != kViewTimerId)
        return false;
    Tick();
    return true;
}

bool BaseView::Create(HWND parent, const RECT& rect) {
    if (!CreateChild(kClassName, L"", WS_CHILD | WS_CLIPCHILDREN, 0, rect, parent, 0))
        return false;
    if (!CreateControls())
        return false;
    SetTime(ZEP_Utility::DateTime::UtcNow());
    Layout();
    return true;
}

void BaseView::Activate() {
    ShowWindow(SW_SHOW);
    SetFocus();
    StopTimer();
    m_timerId = ::SetTimer(m_hwnd, kViewTimerId, kViewTimerPeriodMs, nullptr);
}

void BaseView::Deactivate() {
    StopTimer();
    ShowWindow(SW_HIDE);
}

void BaseView::StopTimer() {
    if (m_timerId != 0 && m_hwnd)
        ::KillTimer(m_hwnd, m_timerId);
    m_timerId = 0;
}

void BaseView::Tick() {
    OnTimerTick();
    const ZEP_Utility::DateTime now = ZEP_Utility::DateTime::UtcNow();
    if (now.GetYear() == m_time.GetYear() && now.GetMonth() == m_time.GetMonth() &&
        now.GetDay() == m_time.GetDay() && now.GetHour() == m_time.GetHour() &&
        now.GetMinute() == m_time.GetMinute())
        return;
    SetTime(now);
}

bool BaseView::OnCommand(UINT notifyCode, UINT id, HWND) {
    return m_commandHandler && m_commandHandler->OnCommand(this, notifyCode, id);
}

void BaseView::ApplySettings() {}

bool BaseView::QueryCommandState(UINT id, bool& enabled, bool&) {
    return m_commandHandler && m_commandHandler->UpdateCommandState(this, id, enabled);
}

void BaseView::SaveCities() {
    m_cityGroup->Save(L"cities");
    SaveSettingsFile();
    m_cityGroup->Load(L"cities");
}

OBData::City* BaseView::GetSelectedCity() { return nullptr; }

OBData::CityGroup* BaseView::GetCityGroup() { return m_cityGroup; }

bool BaseView::CanMoveCities(OBData::CityGroup*, int) { return false; }

void BaseView::SetTime(const ZEP_Utility::DateTime& time) { m_time = time; }

void BaseView::OnTimerTick() {}

bool BaseView::CreateControls() { return true; }

void BaseView::Layout() {}

std::wstring BaseView::GetListText() { return std::wstring(); }

}  // namespace OBControls
