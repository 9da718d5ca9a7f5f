#include "app/CityGroupListView.h"

#include "app/ViewCommandHandler.h"
#include "cli/ClockOutput.h"
#include "info/CityClock.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "platform/kernel/WideText.h"
#include "platform/ui/Shell.h"

namespace OBControls {

CityGroupListView::CityGroupListView(OBData::CityGroup* cityGroup, ViewCommandHandler* commandHandler,
                                     UINT emptyTextId)
    : BaseView(cityGroup, commandHandler), m_emptyTextId(emptyTextId) {}

bool CityGroupListView::OnSetFocus(HWND) {
    if (CityGroupListCtrl* list = GetListControl(); list && list->GetHandle())
        list->SetFocus();
    return true;
}

bool CityGroupListView::OnNotify(const NMHDR& header, LRESULT& result) {
    if (header.idFrom == static_cast<UINT_PTR>(kCityListId) && header.code == NM_RECOGNIZEGESTURE &&
        OnContextMenu(NotifyRecord<NMRGINFO>(header).ptAction)) {
        result = 1;
        return true;
    }
    return BaseView::OnNotify(header, result);
}

bool CityGroupListView::OnContextMenu(POINT screenPoint) {
    const UINT menuId = m_commandHandler ? m_commandHandler->GetCityMenuId() : 0;
    if (menuId == 0)
        return false;
    CityGroupListCtrl* list = GetListControl();
    if (!list || !list->GetHandle())
        return false;
    const RECT area = list->GetWindowRect();
    if (screenPoint.x < area.left || screenPoint.x >= area.right || screenPoint.y < area.top ||
        screenPoint.y >= area.bottom)
        return false;
    HMENU menu = ::LoadMenu(::GetModuleHandle(nullptr), MAKEINTRESOURCE(static_cast<int>(menuId)));
    if (!menu)
        return false;
    // The main window owns the popup, so the chosen command takes the
    // ordinary way: main window, active view, command handler.
    if (HMENU popup = ::GetSubMenu(menu, 0))
        ::TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN, screenPoint.x, screenPoint.y,
                           GetParentHandle(), nullptr);
    ::DestroyMenu(menu);
    return true;
}

void CityGroupListView::Activate() {
    CityGroupListCtrl* list = GetListControl();
    if (m_emptyTextId != 0)
        list->SetEmptyText(m_emptyTextId);
    list->SetCityGroup(m_cityGroup, false);
    SetTime(ZEP_Utility::DateTime::UtcNow());
    BaseView::Activate();
}

void CityGroupListView::Deactivate() {
    GetListControl()->StoreState();
    SaveAllSettings();
    BaseView::Deactivate();
}

void CityGroupListView::ApplySettings() { GetListControl()->Invalidate(true); }

void CityGroupListView::SaveCities() {
    BaseView::SaveCities();
    CityGroupListCtrl* list = GetListControl();
    list->SetCityGroup(m_cityGroup, false);
    list->Invalidate(true);
}

OBData::City* CityGroupListView::GetSelectedCity() { return GetListControl()->GetSelectedCity(); }

bool CityGroupListView::CanMoveCities(OBData::CityGroup*, int) { return true; }

void CityGroupListView::SetTime(const ZEP_Utility::DateTime& time) {
    GetListControl()->SetTime(time, true);
    BaseView::SetTime(time);
}

void CityGroupListView::Layout() {
    CityGroupListCtrl* list = GetListControl();
    if (!list->GetHandle())
        return;
    const RECT client = GetClientRect();
    list->MoveWindow(client, true);
}

void CityGroupListView::OnCityActivated(OBData::City*) {}

std::wstring CityGroupListView::GetListText() {
    if (!m_cityGroup || m_cityGroup->GetCount() == 0)
        return std::wstring();
    const CityGroupListCtrl* list = GetListControl();
    ZEP_Utility::DateTime time = list ? list->GetTime() : ZEP_Utility::DateTime();
    if (time.IsEmpty())
        time = ZEP_Utility::DateTime::UtcNow();
    AppSettings& settings = GetAppSettings();
    const int timeFormat = settings.GetMainTimeFormat();
    const auto rows = OBData::BuildCityClock(*m_cityGroup, time, settings.GetUnits(), timeFormat);
    return ob::kernel::FromUtf8(ob::cli::FormatClockText(rows, timeFormat));
}

}  // namespace OBControls
