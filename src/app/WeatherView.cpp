#include "app/WeatherView.h"

#include "app/ImageLoaders.h"
#include "data/City.h"
#include "dialogs/CityWeatherDialog.h"
#include "model/AppSettings.h"
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
}

// The state last seen is kept: coming back while the downloader is still
// busy shows the indicator only once the state changes again.
void WeatherView::Deactivate() {
    m_list.SetBusy(false);
    m_reader.StopNotifications();
    CityGroupListView::Deactivate();
}

void WeatherView::OnTimerTick() { UpdateBusyState(); }

bool WeatherView::IsDownloaderBusy() { return OBWeather::IsDownloaderBusy(); }

void WeatherView::UpdateBusyState() {
    const bool busy = IsDownloaderBusy();
    if (busy == m_downloaderBusy)
        return;
    m_downloaderBusy = busy;
    m_list.SetBusy(busy);
    if (!busy)
        m_list.SetCityGroup(m_cityGroup, true);
}

// The list is read again when the downloader turns idle, not file by file.
void WeatherView::OnWeatherUpdated(const ob::kernel::FileChangeInfo&) {}

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
    m_reader.SetReferenceDate(ZEP_Utility::DateTime::LocalNow());
    CityWeatherDialogBase dialog(m_hwnd, &m_reader, city, 0, 0);
    dialog.DoModal();
}

}  // namespace OBControls
