// The three main views. Until the map and the planner panel are built, the
// map view and the time planner show their city lists.
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

#include "app/WeatherView.h"
