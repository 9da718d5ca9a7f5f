#include "app/MenuHandlingCityInfoListView.h"

#include "app/ViewCommandHandler.h"
#include "dialogs/AdjustCityGroupInfoListFieldsDialog.h"
#include "model/AppSettings.h"

MenuHandlingCityInfoListView::MenuHandlingCityInfoListView(const std::wstring& listName,
                                                           OBData::CityGroup* cityGroup,
                                                           OBControls::ViewCommandHandler* commandHandler)
    : CityInfoListView(listName, cityGroup, commandHandler, kNoCitiesTextId) {}

bool MenuHandlingCityInfoListView::OnCommand(UINT notifyCode, UINT id, HWND control) {
    if (id != OBControls::kCmdChangeFields)
        return CityInfoListView::OnCommand(notifyCode, id, control);
    if (ShowChangeFieldsDialog()) {
        m_list.StoreState();
        SaveSettingsFile();
    }
    return true;
}

bool MenuHandlingCityInfoListView::QueryCommandState(UINT id, bool& enabled, bool& checked) {
    if (id != OBControls::kCmdChangeFields)
        return CityInfoListView::QueryCommandState(id, enabled, checked);
    enabled = true;
    return true;
}

bool MenuHandlingCityInfoListView::ShowChangeFieldsDialog() {
    OBControls::AdjustCityGroupInfoListFieldsDialog dialog(m_hwnd, &m_list);
    return dialog.DoModal() == IDOK;
}
