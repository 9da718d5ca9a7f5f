// The started program with a weather folder of its own: the icons and the
// page template from the source tree, forecast files the test writes, the
// clock at noon UTC on 8 December 2026, and a stand-in for a running
// downloader whose busy state the test sets.
#pragma once

#include <filesystem>
#include <fstream>

#include "app/WeatherView.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/NamedEvent.h"
#include "tests/app/ShellFixture.h"
#include "weather/DownloaderControl.h"
#include "weather/FileUtils.h"
#include "weather/WeatherIcons.h"

namespace shelltest {

namespace fs = std::filesystem;

// Holds the downloader's running lock, as a live downloader does, and sets
// or clears its busy event.
class StandInDownloader {
public:
    StandInDownloader()
        : m_lock(ob::kernel::NamedLivenessLock::Acquire(OBWeather::kDownloaderRunningLockName)),
          m_busy(ob::kernel::NamedEvent::Create(OBWeather::kBusyEventName,
                                                ob::kernel::NamedEvent::Kind::ManualReset, false)) {}
    ~StandInDownloader() { SetBusy(false); }
    void SetBusy(bool busy) {
        if (m_busy)
            busy ? m_busy->Set() : m_busy->Reset();
    }

private:
    std::unique_ptr<ob::kernel::NamedLivenessLock> m_lock;
    std::unique_ptr<ob::kernel::NamedEvent> m_busy;
};

class WeatherFixture : public ShellFixture {
public:
    explicit WeatherFixture(const std::string& screen = "240x320") : ShellFixture(screen) {
        m_folder = fs::temp_directory_path() / ("orbelline-weather-" + std::to_string(::getpid()));
        fs::remove_all(m_folder);
        const fs::path source = fs::path(ORBELLINE_SOURCE_DIR) / "weather";
        fs::create_directories(m_folder / "weather/data");
        for (const char* part : {"images_1", "images_2", "images_3", "html"})
            fs::copy(source / part, m_folder / "weather" / part, fs::copy_options::recursive);
        OBWeather::FileUtils::OverrideExeFolder(ob::kernel::FromUtf8(m_folder.string()));
        OBWeather::ReleaseDownloaderEvents();
        ob::kernel::UseVirtualClock(
            static_cast<ob::kernel::Ticks>(ZEP_Utility::DateTime(2026, 12, 8, 12, 0, 0).GetTicks()));
    }
    ~WeatherFixture() {
        Stop();
        OBWeather::FileUtils::OverrideExeFolder(L"");
        OBWeather::ReleaseDownloaderEvents();
        fs::remove_all(m_folder);
    }

    // Starts on the weather view with these cities.
    bool StartWith(const std::string& cities, const std::string& more = "") {
        WriteSettings("cities," + cities + "\r\ntab,2\r\nweatherupdatewarning,0\r\n" + more);
        return Start();
    }
    void WriteForecast(int id, const std::string& bytes) {
        std::ofstream(m_folder / "weather/data" / ("f_" + std::to_string(id) + ".xml"), std::ios::binary)
            << bytes;
    }
    const fs::path& AppFolder() const { return m_folder; }

    WeatherView& View() { return Main()->GetWeatherView(); }
    OBControls::CityGroupWeatherList& List() { return View().GetWeatherList(); }
    OBData::City* City(int row) { return List().GetCityAt(row); }

private:
    fs::path m_folder;
};

// One forecastDay of December 2026; empty values leave their element out.
inline std::string ForecastDay(int day, const std::string& high, const std::string& low,
                               const std::string& icon = "", int month = 12) {
    std::string text = "<forecastDay><date><day>" + std::to_string(day) + "</day><month>" +
                       std::to_string(month) + "</month><year>2026</year></date>";
    if (!high.empty())
        text += "<high><temperature><ambient>" + high + "</ambient><units>0</units></temperature></high>";
    if (!low.empty())
        text += "<low><temperature><ambient>" + low + "</ambient><units>0</units></temperature></low>";
    if (!icon.empty())
        text += "<dayPart><display><icon>" + icon + "</icon><conditions>" + icon +
                "</conditions></display></dayPart>";
    return text + "</forecastDay>";
}

inline std::string Forecast(const std::string& days) {
    return "<obWeather><forecast><forecastDays>" + days + "</forecastDays></forecast></obWeather>";
}

}  // namespace shelltest
