// The weather view: the user's cities with three days of forecast each. It
// owns the forecast reader, loads the weather icons with its controls, polls
// the downloader's busy state every second while shown, and reads every
// forecast file again when the downloader turns idle. Enter, or a tap on the
// selected row, opens the city's weather detail page.
#pragma once

#include "app/CityGroupListView.h"
#include "app/CityGroupWeatherList.h"
#include "weather/UpdateStatus.h"
#include "weather/WeatherReader.h"

namespace OBControls {

class CityWeatherDialogBase;

// Decodes the weather icon pictures into bitmaps for the icon table.
void InstallWeatherIconDecoder();

class WeatherView : public CityGroupListView, public OBWeather::IWeatherUpdateNotification {
public:
    WeatherView(OBData::CityGroup* cityGroup, ViewCommandHandler* commandHandler, UINT emptyTextId);

    // Enter or a tap on a city opens its forecast.
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    void OnDestroy() override;
    void Activate() override;
    void Deactivate() override;
    void OnTimerTick() override;
    bool CreateControls() override;
    CityGroupListCtrl* GetListControl() override { return &m_list; }
    void OnWeatherUpdated(const ob::kernel::FileChangeInfo& change) override;

    // Compares the downloader's busy state with the one last seen; on a
    // change tells the list, and on turning idle reads every forecast and the
    // downloader's status again.
    void UpdateBusyState();
    // What the header says about updates when not busy, short enough for the
    // space left of the day names: why there are none ("No updates: ..."),
    // that the last one failed and why ("Failed: no connection", until the
    // next attempt), when the forecasts were last updated ("Updated 14:05",
    // the user's time format on the home city's clock), or "Not updated yet".
    std::wstring GetStatusText() const;
    virtual void ShowCityWeather(OBData::City* city);

    CityGroupWeatherList& GetWeatherList() { return m_list; }
    OBWeather::WeatherReader& GetReader() { return m_reader; }

protected:
    // The downloader's busy state (tests answer for it).
    virtual bool IsDownloaderBusy();

private:
    OBWeather::WeatherReader m_reader;
    CityGroupWeatherList m_list;
    void ShowStatus();

    bool m_downloaderBusy = false;
    OBWeather::UpdateStatus m_status;
    CityWeatherDialogBase* m_openPage = nullptr;  // while ShowCityWeather runs
};

}  // namespace OBControls

using OBControls::WeatherView;
