#include "app/CityInfoListView.h"

#include "model/AppSettings.h"

namespace OBControls {

CityInfoListView::CityInfoListView(const std::wstring& listName, OBData::CityGroup* cityGroup,
                                   ViewCommandHandler* commandHandler, UINT emptyTextId)
    : CityGroupListView(cityGroup, commandHandler, emptyTextId),
      m_list(listName, cityGroup, GetAppSettings().GetCityViewFontSize()) {}

bool CityInfoListView::CreateControls() {
    const RECT client = GetClientRect();
    if (!m_list.Create(m_hwnd, client, 1, kCityListId))
        return false;
    m_list.ShowWindow(SW_SHOW);
    return true;
}

}  // namespace OBControls
