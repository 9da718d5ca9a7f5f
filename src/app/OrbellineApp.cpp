#include "app/OrbellineApp.h"

#include "app/AppMainWindow.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "model/AppSettings.h"
#include "resources/Resources.h"
#include "weather/DownloaderControl.h"
#include "wnd/FrameWindow.h"

OrbellineApp::OrbellineApp() { SetSingleInstance(true); }

OrbellineApp::~OrbellineApp() = default;

bool OrbellineApp::InitInstance() {
    OBResources::RegisterResources();
    // The downloader runs on its own; whether it started changes nothing here.
    if (m_startDownloader)
        OBWeather::LaunchDownloader();
    // The device's component library needs no start here: the XML layer
    // stands on its own.
    OBData::LoadReferenceTables();
    m_settingsRead = LoadSettingsFile();
    ReadSettings();
    if (m_startView >= 0)
        GetAppSettings().SetTab(m_startView);
    OBData::CityGroup& group = GetCityGroup();

    m_appMainWindow = std::make_unique<AppMainWindow>(&group);
    m_appMainWindow->SetAskForHomeCity(m_askForHomeCity);
    if (!m_appMainWindow->CreateMainWindow(ZEP_Wnd::DefaultWindowRect()))
        return false;
    SetMainWindow(m_appMainWindow.get());
    // The desktop keyboard: Ctrl+1, 2 and 3 for the views, Ctrl+Q for Exit.
    const ACCEL keys[] = {{FVIRTKEY | FCONTROL, '1', kCmdViewMap},
                          {FVIRTKEY | FCONTROL, '2', kCmdViewPlanner},
                          {FVIRTKEY | FCONTROL, '3', kCmdViewWeather},
                          {FVIRTKEY | FCONTROL, 'Q', kCmdExit}};
    SetAccelerators(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
    m_appMainWindow->ShowWindow(SW_SHOWNORMAL);
    m_appMainWindow->UpdateWindow();
    return true;
}

int OrbellineApp::ExitInstance() {
    if (GetAppSettings().GetWeatherKillDownloader())
        OBWeather::StopDownloader();
    m_appMainWindow.reset();
    OBData::ReleaseReferenceData();
    return App::ExitInstance();
}
