// The program's main window: the world map, the time planner and the weather
// view, and the command handler they share.
#pragma once

#include "app/AppMainWindowViews.h"
#include "app/OrbellineMainWindow.h"
#include "app/ViewCommandHandler.h"

class AppMainWindow : public OBControls::OrbellineMainWindow {
public:
    explicit AppMainWindow(OBData::CityGroup* cityGroup);
    ~AppMainWindow() override;

    bool OnCreate(CREATESTRUCT* createInfo) override;
    bool UpdateCommandState(UINT id, bool& enabled, bool& checked) override;
    bool CreateViews(const RECT& clientRect) override;
    bool OnCommand(UINT notifyCode, UINT id, HWND control) override;

    MapView& GetMapView() { return m_mapView; }
    TimePlannerListView& GetPlannerView() { return m_plannerView; }
    WeatherView& GetWeatherView() { return m_weatherView; }
    // Whether the window asks for a home city once it is up and the group is empty.
    void SetAskForHomeCity(bool on) { m_askForHomeCity = on; }

protected:
    // The dialogs the main window opens; true on OK. Those that do not exist
    // yet show nothing and answer false.
    virtual bool ShowHomeCityDialog(int& cityId);
    virtual bool ShowPickCitiesDialog(OBData::CityGroup& cities);
    virtual bool ShowOptionsDialog();
    virtual void ShowAboutBox();

    MapView m_mapView;
    TimePlannerListView m_plannerView;
    WeatherView m_weatherView;
    ViewCommandHandlerPPC m_commandHandler;
    bool m_askForHomeCity = true;
};
