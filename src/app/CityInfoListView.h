// A city list view showing the information list: name, local time, picture
// and one information line per city.
#pragma once

#include <string>

#include "app/CityGroupListView.h"

namespace OBControls {

class CityInfoListView : public CityGroupListView {
public:
    CityInfoListView(const std::wstring& listName, OBData::CityGroup* cityGroup,
                     ViewCommandHandler* commandHandler, UINT emptyTextId);

    bool CreateControls() override;
    CityGroupListCtrl* GetListControl() override { return &m_list; }
    CityGroupInfoList& GetInfoList() { return m_list; }

protected:
    CityGroupInfoList m_list;
};

}  // namespace OBControls
