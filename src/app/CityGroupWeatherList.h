// The city list of the weather view: each row shows the city's name and, in
// three day columns against the right edge, the icon and the high/low
// temperatures of a forecast day. Two buttons on the selected row and the
// left and right keys move the three shown days over the seven the list
// offers. The header names the days and, while the downloader fetches,
// animates a small busy indicator with "Updating...".
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>

#include "app/CityGroupListCtrl.h"
#include "app/MultiFrameImage.h"
#include "util/XMLDoc.h"
#include "wnd/Paint.h"

namespace OBWeather {
class WeatherReader;
}

namespace OBControls {

class CityGroupWeatherList : public CityGroupListCtrl {
public:
    static constexpr int kShownDays = 3;
    static constexpr int kTotalDays = 7;
    static constexpr int kLastFirstDay = kTotalDays - kShownDays;
    static constexpr UINT_PTR kBusyTimerId = 3000;
    static constexpr UINT kBusyTimerPeriodMs = 100;

    CityGroupWeatherList(OBData::CityGroup* cityGroup, OBWeather::WeatherReader* reader, int fontSize,
                         int smallFontSize);
    ~CityGroupWeatherList() override;

    void SetBusy(bool busy);
    bool IsBusy() const { return m_busy; }
    // What the header says about updates while the downloader is not busy
    // ("Updated 14:05", "Update failed: no connection"); cut to fit.
    void SetStatusText(const std::wstring& text);
    const std::wstring& GetStatusText() const { return m_statusText; }
    // Reads one city's forecast file again (it was replaced) and repaints.
    void ReloadForecast(int cityId);
    // Whether no cached forecast has a single day in it.
    bool HasNoForecasts() const;
    void SetFirstDay(int offset);
    int GetFirstDay() const { return m_firstDay; }
    // The home city's local date and time at the shown time.
    const ZEP_Utility::DateTime& GetDayDate() const { return m_dayDate; }
    // The date of shown column 0..2.
    ZEP_Utility::DateTime GetColumnDate(int column) const;
    // What the header shows above column 0..2: "Today" or a weekday name.
    std::wstring GetColumnName(int column) const;
    // What a cell shows under its icon: "high/low" in the user's unit, or "-/-".
    std::wstring GetCellText(OBData::City* city, int column);
    // The icon a cell shows (owned by the icon table), or null.
    void* GetCellIcon(OBData::City* city, int column);
    // The cached forecast of a city, or null.
    ZEP_Utility::XMLDoc* GetForecast(int cityId) const;
    int GetColumnWidth() const { return m_columnWidth; }
    // Cell i (0..2) of a band.
    RECT GetDayCell(const RECT& band, int column) const;
    const MultiFrameImage& GetBusyAnimation() const { return m_busyAnimation; }

    bool OnCreate(CREATESTRUCT* createInfo) override;
    void OnDestroy() override;
    // The busy picture's frames.
    bool OnTimer(UINT_PTR id) override;
    void StoreState() override;
    int MeasureRowHeight() override;
    void DrawRow(const RowPaint& row, OBData::City* city, const ZEP_Utility::DateTime& time) override;
    void DrawHeader(HDC dc, const ZEP_Utility::DateTime& time, const RECT& rect) override;
    int GetHeaderHeight() override;
    void OnCityGroupChanged() override;
    bool OnTimeChanged() override;
    bool OnKeyDown(UINT key, UINT flags) override;
    void ShowPreviousInfo() override;
    void ShowNextInfo() override;

private:
    void DrawCell(HDC dc, ZEP_Utility::XMLDoc* forecast, const ZEP_Utility::DateTime& date, const RECT& cell);
    RECT GetBusyArea() const;
    void DrawBusyArea(HDC dc, const RECT& area);
    // Draws the busy area straight to the screen through the buffer.
    void RepaintBusyArea();
    void PlaceDayButtons(const RECT& band);
    std::wstring FormatTemperatures(double high, double low) const;

    int m_smallFontSize;
    ZEP_Wnd::OwnedFont m_smallFont;
    int m_smallLineHeight = 0;
    int m_columnWidth = 0;
    int m_firstDay = 0;
    bool m_busy = false;
    std::wstring m_statusText;
    UINT_PTR m_busyTimer = 0;
    MultiFrameImage m_busyAnimation;
    ZEP_Utility::DateTime m_dayDate;
    OBWeather::WeatherReader* m_reader;
    std::map<int, std::unique_ptr<ZEP_Utility::XMLDoc>> m_forecasts;
    std::array<std::wstring, 8> m_dayNames;
    // Holds an icon while it is stretched onto a cell.
    std::unique_ptr<ZEP_Wnd::MemoryDC> m_iconDC;
};

}  // namespace OBControls
