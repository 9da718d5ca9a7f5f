// An information list view that also opens the Change Fields dialog for its
// list (City > Change Fields). The map view and the time planner build on it.
#pragma once

#include <string>

#include "app/CityInfoListView.h"
#include "resources/ResourceIds.h"

// The text shown when no city is chosen.
constexpr UINT kNoCitiesTextId = OBResources::kNoCitiesText;

class MenuHandlingCityInfoListView : public OBControls::CityInfoListView {
public:
    MenuHandlingCityInfoListView(const std::wstring& listName, OBData::CityGroup* cityGroup,
                                 OBControls::ViewCommandHandler* commandHandler);

    bool OnCommand(UINT notifyCode, UINT id, HWND control) override;
    bool QueryCommandState(UINT id, bool& enabled, bool& checked) override;

protected:
    // Shows the Change Fields dialog over the view's list; true on OK.
    virtual bool ShowChangeFieldsDialog();
};
