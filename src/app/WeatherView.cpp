#include "app/WeatherView.h"

#include "app/ImageLoaders.h"
#include "data/City.h"
#include "dialogs/CityWeatherDialog.h"
#include "model/AppSettings.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/WideText.h"
#include "time/DisplayFormats.h"
#include "util/FileSystem.h"
#include "weather/DownloaderControl.h"
#include "weather/FileUtils.h"
#include "weather/WeatherIcons.h"
#include "wnd/Paint.h"

namespace OBControls {

namespace {

constexpr int kEnterKey = VK_RETURN;

class BitmapIconDecoder : public OBWeather::IIconDecoder {
public:
    OBWeather::IconBitmap Decode(const std::wstring& path) override {
        FileImageLoader loader;
        return loader.Load(path);
    }
    void Free(OBWeather::IconBitmap bitmap) override {
        // Taken over and deleted here.
        ZEP_Wnd::OwnedBitmap owned(static_cast<HBITMAP>(bitmap));
    }
    std::pair<int, int> GetSize(OBWeather::IconBitmap bitmap) override {
        BITMAP info{};
        if (!bitmap || !::GetObject(static_cast<HBITMAP>(bitmap), sizeof info, &info))
            return {0, 0};
        return {info.bmWidth, info.bmHeight};
    }
};

}  // namespace

void InstallWeatherIconDecoder() {
    static BitmapIconDecoder decoder;
    if (!OBWeather::GetIconDecoder())
        OBWeather::SetIconDecoder(&decoder);
}

WeatherView::WeatherView(OBData::CityGroup* cityGroup, ViewCommandHandler* commandHandler, UINT emptyTextId)
    : CityGroupListView(cityGroup, commandHandler, emptyTextId),
      m_list(cityGroup, &m_reader, GetAppSettings().GetWeatherViewFontSize(),
             GetAppSettings().GetWeatherViewSmallFontSize()) {}

bool WeatherView::CreateControls() {
    InstallWeatherIconDecoder();
    // The icon set suits the screen the program runs on.
    OBWeather::FileUtils::SystemScreenDimensionProvider::SetScreenSize(::GetSystemMetrics(SM_CXSCREEN),
                                                                       ::GetSystemMetrics(SM_CYSCREEN));
    OBWeather::LoadIcons();
    if (!m_list.Create(m_hwnd, GetClientRect(), CityGroupListCtrl::kSeparatorLines, kCityListId))
        return false;
    m_list.ShowWindow(SW_SHOW);
    return true;
}

void WeatherView::OnDestroy() {
    StopTimer();
    CityGroupListView::OnDestroy();
    OBWeather::FreeIcons();
}

void WeatherView::Activate() {
    CityGroupListView::Activate();
    m_reader.StartNotifications(this);
    m_status = OBWeather::ReadUpdateStatus();
    ShowStatus();
}

std::wstring WeatherView::GetStatusText() const {
    if (const std::wstring problem = OBWeather::DownloaderProblem(); !problem.empty())
        return L"No updates: " + problem;
    if (m_status.known && !m_status.ok)
        return L"Failed: " + (m_status.reason.empty() ? std::wstring(L"unknown") : m_status.reason);
    if (m_status.success > 0 && m_status.success < (std::int64_t{1} << 36)) {
        const ZEP_Utility::DateTime utc(static_cast<std::uint64_t>(
            ob::kernel::kUnixEpochTicks + m_status.success * ob::kernel::kTicksPerSecond));
        const OBData::City* home = m_cityGroup ? m_cityGroup->GetHomeCity() : nullptr;
        return L"Updated " + OBData::FormatClockTime(GetAppSettings().GetMainTimeFormat(),
                                                     home ? home->GetLocalTime(utc) : utc);
    }
    if (m_list.HasNoForecasts())
        return L"Not updated yet";
    return {};
}

void WeatherView::ShowStatus() { m_list.SetStatusText(GetStatusText()); }

// The state last seen is kept: coming back while the downloader is still
// busy shows the indicator only once the state changes again.
void WeatherView::Deactivate() {
    m_list.SetBusy(false);
    m_reader.StopNotifications();
    CityGroupListView::Deactivate();
}

void WeatherView::OnTimerTick() {
    UpdateBusyState();
    ShowStatus();  // a downloader that cannot be had is found on the way
}

bool WeatherView::IsDownloaderBusy() { return OBWeather::IsDownloaderBusy(); }

void WeatherView::UpdateBusyState() {
    const bool busy = IsDownloaderBusy();
    if (busy == m_downloaderBusy)
        return;
    m_downloaderBusy = busy;
    m_list.SetBusy(busy);
    if (!busy) {
        m_list.SetCityGroup(m_cityGroup, true);
        m_status = OBWeather::ReadUpdateStatus();
        ShowStatus();
    }
}

// A fetch may begin and end between two polls of the busy state: the files
// it replaces are read as they arrive.
void WeatherView::OnWeatherUpdated(const ob::kernel::FileChangeInfo& change) {
    const std::wstring name = ZEP_Utility::GetFileName(change.item1);
    if (name == OBWeather::kStatusFileName) {
        m_status = OBWeather::ReadUpdateStatus();
        ShowStatus();
        return;
    }
    if (name.size() > 6 && name.compare(0, 2, L"f_") == 0 && name.compare(name.size() - 4, 4, L".xml") == 0) {
        try {
            std::size_t used = 0;
            const int id = std::stoi(name.substr(2, name.size() - 6), &used);
            if (used == name.size() - 6) {
                m_list.ReloadForecast(id);
                if (m_openPage && m_openPage->GetCity() && m_openPage->GetCity()->GetId() == id)
                    m_openPage->Rebuild();
            }
        } catch (...) {
            // not a city's file
        }
        ShowStatus();
    }
}

bool WeatherView::OnNotify(const NMHDR& header, LRESULT& result) {
    if (header.idFrom == static_cast<UINT_PTR>(kCityListId)) {
        if (header.code == kCityListKeyDown) {
            if (NotifyRecord<NMKEY>(header).nVKey == kEnterKey)
                if (OBData::City* city = m_list.GetSelectedCity())
                    ShowCityWeather(city);
            return true;
        }
        if (header.code == kCityListTapped) {
            if (NotifyRecord<CityListTapNotify>(header).row >= 0)
                if (OBData::City* city = m_list.GetSelectedCity())
                    ShowCityWeather(city);
            return true;
        }
    }
    return CityGroupListView::OnNotify(header, result);
}

void WeatherView::ShowCityWeather(OBData::City* city) {
    if (!city)
        return;
    // "Today" on the page is the home city's date, as in the list.
    const OBData::City* home = m_cityGroup ? m_cityGroup->GetHomeCity() : nullptr;
    const ZEP_Utility::DateTime now = ZEP_Utility::DateTime::UtcNow();
    m_reader.SetReferenceDate(home ? home->GetLocalTime(now) : ZEP_Utility::DateTime::LocalNow());
    CityWeatherDialogBase dialog(m_hwnd, &m_reader, city, 0, 0);
    m_openPage = &dialog;
    dialog.DoModal();
    m_openPage = nullptr;
}

}  // namespace OBControls
