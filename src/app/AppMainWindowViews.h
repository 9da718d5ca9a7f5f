// The three main views. Until the map, the planner panel and the forecast
// list are built, the map view and the time planner show their city lists
// and the weather view shows an information list.
#pragma once

#include "app/MenuHandlingCityInfoListView.h"

#if __has_include("app/MapView.h")
#include "app/MapView.h"
#else
class MapView : public MenuHandlingCityInfoListView {
public:
    MapView(OBData::CityGroup* cityGroup, OBControls::ViewCommandHandler* commandHandler)
        : MenuHandlingCityInfoListView(L"mapview_list", cityGroup, commandHandler) {}
};
#endif

#if __has_include("app/TimePlannerListView.h")
#include "app/TimePlannerListView.h"
#else
class TimePlannerListView : public MenuHandlingCityInfoListView {
public:
    TimePlannerListView(OBData::CityGroup* cityGroup, OBControls::ViewCommandHandler* commandHandler)
        : MenuHandlingCityInfoListView(L"plannerview_list", cityGroup, commandHandler) {}
};
#endif

#if __has_include("app/WeatherView.h")
#include "app/WeatherView.h"
#else
class WeatherView : public OBControls::CityGroupListView {
public:
    WeatherView(OBData::CityGroup* cityGroup, OBControls::ViewCommandHandler* commandHandler, UINT emptyTextId);

    bool CreateControls() override;
    OBControls::CityGroupListCtrl* GetListControl() override { return &m_list; }

private:
    // The weather list keeps no field choice of its own.
    class List : public OBControls::CityGroupInfoList {
    public:
        using CityGroupInfoList::CityGroupInfoList;
        void StoreState() override {}
    };
    List m_list;
};
#endif
