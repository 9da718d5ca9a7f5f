// Reads the forecast files the downloader writes (one per city in the
// weather data folder): a day's high and low and its icon, the city's page
// rendered from a template, and notice of changes in the data folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/kernel/FolderWatch.h"
#include "time/DateTime.h"
#include "util/FileSystemWatcher.h"
#include "util/XMLDoc.h"
#include "weather/WeatherIcons.h"

namespace OBWeather {

class IWeatherUpdateNotification {
public:
    virtual ~IWeatherUpdateNotification() = default;
    virtual void OnWeatherUpdated(const ob::kernel::FileChangeInfo& change) = 0;
};

// The document used whenever a forecast file cannot be loaded.
inline constexpr const wchar_t* kEmptyForecast = L"<obWeather><forecast></forecast></obWeather>";

class WeatherReader : public ZEP_IO::IFileSystemEventSink {
public:
    WeatherReader();
    ~WeatherReader() override;
    WeatherReader(const WeatherReader&) = delete;
    WeatherReader& operator=(const WeatherReader&) = delete;

    // Passes changes in the data folder (files created or updated) to `sink`.
    void StartNotifications(IWeatherUpdateNotification* sink);
    void StopNotifications();
    void OnFileSystemEvent(const ob::kernel::FileChangeInfo& change) override;

    // The day page templates treat as today (the local date at construction).
    void SetReferenceDate(const ZEP_Utility::DateTime& date) { m_referenceDate = date; }
    const ZEP_Utility::DateTime& GetReferenceDate() const { return m_referenceDate; }

    // The city's forecast, or the empty forecast when its file cannot be loaded.
    std::unique_ptr<ZEP_Utility::XMLDoc> OpenForecast(int cityId);
    // The same with <city><id>..</id><name>..</name></city> first in the root
    // and unknown icon names made "no_report", as the page is built from it.
    std::unique_ptr<ZEP_Utility::XMLDoc> OpenForecastWithCity(int cityId, const std::wstring& cityName);

    // The day's high and low in degrees Celsius, each NaN when it is missing
    // or no sane temperature; false when the document has no such day or
    // neither value.
    bool GetTemperatures(ZEP_Utility::XMLDoc* doc, const ZEP_Utility::DateTime& date, double& high,
                         double& low);
    // The bitmap of the day's icon ("no_report" when the day or its icon is
    // missing); owned by the icon table. Null when there is no such picture.
    IconBitmap GetIconBitmap(ZEP_Utility::XMLDoc* doc, const ZEP_Utility::DateTime& date);
    // The city's page from the template file of that name in the html folder,
    // temperatures in `unit` (0 Celsius, 1 Fahrenheit). A template file larger
    // than kMaxTemplateBytes is not read: the page is kTemplateTooLargePage.
    static constexpr std::uint32_t kMaxTemplateBytes = 256 * 1024;
    static constexpr const wchar_t* kTemplateTooLargePage =
        L"<html><body><p>The page template is too large to be read.</p></body></html>";
    // Without the memory to build it the page is kNoMemoryPage.
    static constexpr const wchar_t* kNoMemoryPage =
        L"<html><body><p>There is not enough memory to show this forecast.</p></body></html>";
    std::wstring RenderCityHtml(int cityId, const std::wstring& cityName, const std::wstring& templateName,
                                int unit);

    static std::wstring GetForecastPath(int cityId);
    // "file://" + the folder with forward slashes.
    static std::wstring FileUrl(const std::wstring& folder);
    // The forecastDay of a date, or a null node.
    static pugi::xml_node SelectDay(ZEP_Utility::XMLDoc* doc, const ZEP_Utility::DateTime& date);
    // Replaces the text of every icon element that is not a known icon name
    // (empty ones too) by "no_report".
    static void KeepKnownIcons(ZEP_Utility::XMLDoc& doc);
    // Inserts the city element into the document's root (see OpenForecastWithCity).
    static void InsertCity(ZEP_Utility::XMLDoc& doc, int cityId, const std::wstring& cityName);

private:
    std::wstring BuildCityHtml(int cityId, const std::wstring& cityName, const std::wstring& templateName,
                               int unit);

    ZEP_IO::FileSystemWatcher m_watcher;
    IWeatherUpdateNotification* m_sink = nullptr;
    ZEP_Utility::DateTime m_referenceDate;
};

}  // namespace OBWeather
