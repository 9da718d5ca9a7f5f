// The weather view: the day cells, the three-day window, the home city's
// date, the busy indicator, rereading on idle, broken forecast files, the
// detail page, and screenshots at both densities.
#include <sys/stat.h>

#include "dialogs/CityWeatherDialog.h"
#include "platform/ui/win/WindowSystem.h"
#include "tests/app/WeatherFixture.h"

namespace shelltest {
namespace {

using namespace OBControls;
using ob::ui::testing::UiDriver;
using ZEP_Utility::DateTime;

constexpr int kLondon = 234, kNewYork = 292, kSydney = 414, kParis = 325, kAbuDhabi = 2;

class WeatherViewTest : public ::testing::Test, public WeatherFixture {};

TEST_F(WeatherViewTest, CellsShowRoundedTemperaturesTheDaysIconOrNoReportAndDashes) {
    WriteForecast(kLondon, Forecast(ForecastDay(8, "21.5", "10.4", "sunny") + ForecastDay(10, "", "-3", "")));
    ASSERT_TRUE(StartWith("234;292"));
    OBData::City* london = City(0);
    OBData::City* newYork = City(1);
    EXPECT_EQ(List().GetCellText(london, 0), L"22/10");
    EXPECT_EQ(List().GetCellIcon(london, 0), OBWeather::FindIcon(L"sunny"));
    EXPECT_EQ(List().GetCellText(london, 1), L"-/-");   // no such day
    EXPECT_EQ(List().GetCellText(london, 2), L"-/-3");  // a low alone
    ASSERT_NE(OBWeather::FindIcon(L"no_report"), nullptr);
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(List().GetCellText(newYork, column), L"-/-");
        EXPECT_EQ(List().GetCellIcon(newYork, column), OBWeather::FindIcon(L"no_report"));
    }
    EXPECT_EQ(List().GetCellIcon(london, 2), OBWeather::FindIcon(L"no_report"));  // a day without an icon
    GetAppSettings().SetTemperatureUnits(1);
    EXPECT_EQ(List().GetCellText(london, 0), L"71/51");
}

TEST_F(WeatherViewTest, ArrowsAndButtonsMoveTheThreeDaysOverTheWeek) {
    ASSERT_TRUE(StartWith("234;292"));
    const DateTime today = List().GetDayDate();
    EXPECT_EQ(List().GetColumnName(0), L"Today");
    EXPECT_EQ(List().GetColumnName(1), L"Wed");  // 8 December 2026 is a Tuesday
    EXPECT_EQ(List().GetColumnName(2), L"Thu");
    HWND next = List().GetNextInfoButton().GetHandle();
    HWND previous = List().GetPreviousInfoButton().GetHandle();
    EXPECT_FALSE(::IsWindowEnabled(previous));
    for (int press = 1; press <= 5; ++press) {
        PressKey(VK_RIGHT);
        ui.RunUntilIdle();
        EXPECT_EQ(List().GetFirstDay(), std::min(press, 4)) << press;
    }
    EXPECT_EQ(List().GetColumnDate(0).GetDate(), today.AddDays(4).GetDate());
    EXPECT_EQ(List().GetColumnDate(2).GetDate(), today.AddDays(6).GetDate());
    EXPECT_EQ(List().GetColumnName(0), L"Sat");
    EXPECT_FALSE(::IsWindowEnabled(next));
    EXPECT_TRUE(::IsWindowEnabled(previous));
    ::SendMessage(List().GetHandle(), WM_COMMAND, MAKEWPARAM(CityGroupListCtrl::kPreviousInfoId, BN_CLICKED),
                  reinterpret_cast<LPARAM>(previous));
    PressKey(VK_LEFT);
    ui.RunUntilIdle();
    EXPECT_EQ(List().GetFirstDay(), 2);
    EXPECT_TRUE(::IsWindowEnabled(next));
    // Leaving and coming back keeps the days shown.
    Command(kCmdViewMap);
    Command(kCmdViewWeather);
    EXPECT_EQ(List().GetFirstDay(), 2);
}

TEST_F(WeatherViewTest, TodayIsTheHomeCitysDateAndTheListRepaintsWhenItChanges) {
    // At 14:00 UTC on the 8th it is already 01:00 on the 9th in Sydney.
    ob::kernel::UseVirtualClock(static_cast<ob::kernel::Ticks>(DateTime(2026, 12, 8, 14, 0, 0).GetTicks()));
    WriteForecast(kSydney, Forecast(ForecastDay(8, "30", "20") + ForecastDay(9, "25.4", "18.6")));
    ASSERT_TRUE(StartWith("414;234"));
    EXPECT_EQ(List().GetColumnDate(0).GetDay(), 9);
    EXPECT_EQ(List().GetColumnName(0), L"Today");
    EXPECT_EQ(List().GetCellText(City(0), 0), L"25/19");

    HWND list = List().GetHandle();
    RECT dirty{};
    ::ValidateRect(list, nullptr);
    List().SetTime(DateTime(2026, 12, 9, 12, 59, 0), false);  // 23:59 in Sydney: the same date
    EXPECT_FALSE(::GetUpdateRect(list, &dirty, FALSE));
    List().SetTime(DateTime(2026, 12, 9, 13, 0, 0), false);  // midnight in Sydney
    EXPECT_TRUE(::GetUpdateRect(list, &dirty, FALSE));
    EXPECT_EQ(List().GetColumnDate(0).GetDay(), 10);
}

TEST_F(WeatherViewTest, BusyIndicatorWhileFetchingAndEveryFileReadAgainWhenIdle) {
    WriteForecast(kLondon, Forecast(ForecastDay(8, "5", "1")));
    ASSERT_TRUE(StartWith("234;292"));
    StandInDownloader downloader;
    downloader.SetBusy(true);
    ui.Advance(1000);
    ASSERT_TRUE(List().IsBusy());
    EXPECT_FALSE(Enabled(kCmdUpdateWeather));
    const int frame = List().GetBusyAnimation().GetCurrentFrame();
    ui.Advance(300);
    EXPECT_NE(List().GetBusyAnimation().GetCurrentFrame(), frame);

    // New values under the old modification time: nothing may skip the file.
    const std::string path = (AppFolder() / "weather/data/f_234.xml").string();
    struct stat before {};
    ::stat(path.c_str(), &before);
    WriteForecast(kLondon, Forecast(ForecastDay(8, "9", "3")));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    EXPECT_EQ(List().GetCellText(City(0), 0), L"5/1");
    downloader.SetBusy(false);
    ui.Advance(1000);
    EXPECT_FALSE(List().IsBusy());
    EXPECT_EQ(List().GetCellText(City(0), 0), L"9/3");

    // Coming back while it is still busy shows nothing until the state changes.
    downloader.SetBusy(true);
    ui.Advance(1000);
    EXPECT_TRUE(List().IsBusy());
    Command(kCmdViewMap);
    EXPECT_FALSE(List().IsBusy());
    Command(kCmdViewWeather);
    ui.Advance(3000);
    EXPECT_FALSE(List().IsBusy());
    downloader.SetBusy(false);
    ui.Advance(1000);
    downloader.SetBusy(true);
    ui.Advance(1000);
    EXPECT_TRUE(List().IsBusy());
}

TEST_F(WeatherViewTest, BrokenForecastFilesLeaveEveryOtherDayShowing) {
    const std::string good = Forecast(ForecastDay(8, "21.5", "10.4", "rain") +
                                      ForecastDay(8, "99", "99", "snow") + ForecastDay(10, "2", "1", "fog"));
    WriteForecast(kLondon, good);  // the 8th twice, the 9th missing
    WriteForecast(kNewYork, std::string("\x89PNG\r\n\x1a\n\0\0\xff\xfe", 12));  // not text
    WriteForecast(kSydney, good.substr(0, good.size() / 2));                    // cut off half-way
    // Several megabytes of days are read to the end; past the reader's limit a file is not read.
    std::string large = "<obWeather><forecast><forecastDays>";
    while (large.size() < 3u * 1024 * 1024)
        large += ForecastDay(1, "1", "1", "rain", 1);
    const std::string end = ForecastDay(8, "7", "7") + "</forecastDays></forecast></obWeather>";
    WriteForecast(kParis, large + end);
    while (large.size() < 5u * 1024 * 1024)
        large += ForecastDay(1, "1", "1", "rain", 1);
    WriteForecast(kAbuDhabi, large + end);
    ASSERT_TRUE(StartWith("234;292;414;325;2"));
    ASSERT_TRUE(List().IsVisible());
    EXPECT_EQ(List().GetCellText(City(0), 0), L"22/10");
    EXPECT_EQ(List().GetCellIcon(City(0), 0), OBWeather::FindIcon(L"rain"));
    EXPECT_EQ(List().GetCellText(City(0), 1), L"-/-");
    EXPECT_EQ(List().GetCellText(City(0), 2), L"2/1");
    EXPECT_EQ(List().GetCellText(City(3), 0), L"7/7");
    for (int row : {1, 2, 3, 4})
        for (int column = row == 3 ? 1 : 0; column < 3; ++column)
            EXPECT_EQ(List().GetCellText(City(row), column), L"-/-") << row << " " << column;
    ui.Screenshot(UiDriver::OutputPath("weather_broken_files_240x320.png"));
}

TEST_F(WeatherViewTest, EnterAndATapOnTheSelectedRowOpenTheDetailPage) {
    WriteForecast(kNewYork, Forecast(ForecastDay(8, "21.5", "10.4", "rain")));
    ASSERT_TRUE(StartWith("234;292"));
    List().SelectRow(1);
    std::vector<std::wstring> pages;
    auto readPage = [&] {
        auto* dialog =
            dynamic_cast<CityWeatherDialogBase*>(ZEP_Wnd::GetWindowManager()->Find(::GetActiveWindow()));
        ASSERT_NE(dialog, nullptr);
        pages.push_back(dialog->GetHtml());
        ::SendMessage(dialog->GetHandle(), WM_COMMAND, IDOK, 0);
    };
    // The pen lifted on a row (the list tells its parent only for the selected one).
    auto lift = [&](int row) {
        const RECT band = List().GetRowRect(row);
        ::SendMessage(List().GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(band.left + 10, band.top + 5));
        ui.RunUntilIdle();
    };
    ui.WhenIdle(readPage);
    PressKey(VK_RETURN);
    ui.RunUntilIdle();
    EXPECT_EQ(pages.size(), 1u);
    ui.WhenIdle(readPage);
    lift(1);
    EXPECT_EQ(pages.size(), 2u);
    ui.WhenIdle(readPage);
    Command(kCmdWeatherDetail);  // City > Weather Detail...
    ASSERT_EQ(pages.size(), 3u);
    for (const std::wstring& page : pages) {
        EXPECT_NE(page.find(L"<h1>New York; NY</h1>"), std::wstring::npos) << ob::kernel::ToUtf8(page);
        EXPECT_NE(page.find(L"22 C"), std::wstring::npos);
    }
    // Lifted on another row: nothing opens.
    lift(0);
    EXPECT_EQ(pages.size(), 3u);
    EXPECT_FALSE(ui.PendingIdleSteps());
}

TEST_F(WeatherViewTest, AReplacedForecastIsReadAtOnceIntoTheListAndTheOpenPageAndTheHeaderSaysWhen) {
    ASSERT_TRUE(StartWith("234;292", "main_time_format,1\r\n"));
    EXPECT_EQ(List().GetStatusText(), L"Not updated yet");
    // Written as the downloader writes: a temporary file renamed over the real one.
    const auto replace = [&](const std::string& name, const std::string& bytes) {
        const fs::path data = AppFolder() / "weather/data";
        std::ofstream(data / ("." + name + ".tmp"), std::ios::binary) << bytes;
        fs::rename(data / ("." + name + ".tmp"), data / name);
        ob::ui::WaitForWork(2000);
        ui.RunUntilIdle();
    };
    replace("status.csv", "attempt,1796738400\r\nresult,ok\r\nsuccess,1796738400\r\n");  // 14:00 UTC
    EXPECT_EQ(List().GetStatusText(), L"Updated 14:00");  // London's clock, 24-hour
    replace("f_234.xml", Forecast(ForecastDay(8, "21.5", "10.4", "rain")));
    EXPECT_EQ(List().GetCellText(City(0), 0), L"22/10");

    std::wstring before, after;
    ui.WhenIdle([&] {
        auto* page =
            dynamic_cast<CityWeatherDialogBase*>(ZEP_Wnd::GetWindowManager()->Find(::GetActiveWindow()));
        ASSERT_NE(page, nullptr);
        before = page->GetHtml();
        replace("f_234.xml", Forecast(ForecastDay(8, "30.2", "10.4", "rain")));
        after = page->GetHtml();
        ::SendMessage(page->GetHandle(), WM_COMMAND, IDOK, 0);
    });
    PressKey(VK_RETURN);
    ui.RunUntilIdle();
    EXPECT_NE(before.find(L"22 C"), std::wstring::npos);
    EXPECT_NE(after.find(L"30 C"), std::wstring::npos);
}

TEST_F(WeatherViewTest, ReadingsThatAreNoTemperatureShowADashAndThePagesTodayIsTheHomeCitys) {
    WriteForecast(kSydney, Forecast(ForecastDay(8, "NaN", "1e308") + ForecastDay(9, "abc", "12.4") +
                                    ForecastDay(10, "inf", "-1e400")));
    ASSERT_TRUE(StartWith("414"));
    EXPECT_EQ(List().GetCellText(City(0), 0), L"-/-");
    EXPECT_EQ(List().GetCellText(City(0), 1), L"-/12");
    EXPECT_EQ(List().GetCellText(City(0), 2), L"-/-");
    // At noon UTC on the 8th it is 23:00 in Sydney, but already the 9th where
    // the process thinks it is: the page follows the home city, as the list.
    const std::string savedZone = std::getenv("TZ") ? std::getenv("TZ") : "";
    ::setenv("TZ", "Pacific/Kiritimati", 1);
    ::tzset();
    std::wstring page;
    ui.WhenIdle([&] {
        auto* dialog =
            dynamic_cast<CityWeatherDialogBase*>(ZEP_Wnd::GetWindowManager()->Find(::GetActiveWindow()));
        ASSERT_NE(dialog, nullptr);
        page = dialog->GetHtml();
        ::SendMessage(dialog->GetHandle(), WM_COMMAND, IDOK, 0);
    });
    PressKey(VK_RETURN);
    ui.RunUntilIdle();
    savedZone.empty() ? ::unsetenv("TZ") : ::setenv("TZ", savedZone.c_str(), 1);
    ::tzset();
    ZEP_Utility::XMLDoc html;
    ASSERT_TRUE(html.LoadXml(page));
    EXPECT_EQ(ZEP_Utility::XMLDoc::GetNodeText(*html.GetDocument(), L"(//tr[@class='day'])[1]/td[2]"),
              L"Today8 Dec");
    EXPECT_EQ(ZEP_Utility::XMLDoc::GetNodeText(*html.GetDocument(), L"(//tr[@class='day'])[1]/td[3]"), L"--");
    EXPECT_EQ(page.find(L"0 C"), std::wstring::npos);
}

// Twelve cities, some without a forecast; the list while the downloader
// fetches; the days 4 to 6; the detail page.
class WeatherScreens : public ::testing::TestWithParam<std::string> {};

TEST_P(WeatherScreens, TwelveCitiesUpdatingDaysFourToSixAndTheDetailPage) {
    const std::string screen = GetParam();
    WeatherFixture shell(screen);
    const char* icons[] = {"sunny",        "partly_cloudy", "rain",    "snow",
                           "thunderstorm", "fog",           "showers", "cloudy"};
    for (int id = 1; id <= 12; ++id) {
        if (id % 4 == 0)
            continue;  // no forecast
        std::string days;
        for (int day = 7; day <= 15; ++day)
            days += ForecastDay(day, std::to_string(id * 3 - 12 + day), std::to_string(id * 3 - 22 + day),
                                icons[(id + day) % 8]);
        shell.WriteForecast(id, Forecast(days));
    }
    ASSERT_TRUE(shell.StartWith("1;2;3;4;5;6;7;8;9;10;11;12"));
    StandInDownloader downloader;
    downloader.SetBusy(true);
    shell.ui.Advance(1500);
    shell.ui.Screenshot(UiDriver::OutputPath("weather_updating_" + screen + ".png"));
    downloader.SetBusy(false);
    shell.ui.Advance(1000);
    shell.List().SelectRow(2);
    for (int i = 0; i < 4; ++i)
        PressKey(VK_RIGHT);
    shell.ui.RunUntilIdle();
    shell.ui.Screenshot(UiDriver::OutputPath("weather_days4to6_" + screen + ".png"));
    bool shown = false;
    shell.ui.WhenIdle([&] {
        shown = shell.ui.Screenshot(UiDriver::OutputPath("weather_detail_" + screen + ".png"));
        ::SendMessage(::GetActiveWindow(), WM_COMMAND, IDOK, 0);
    });
    PressKey(VK_RETURN);
    shell.ui.RunUntilIdle();
    EXPECT_TRUE(shown);
}

INSTANTIATE_TEST_SUITE_P(Densities, WeatherScreens, ::testing::Values("240x320", "480x640"));

}  // namespace
}  // namespace shelltest
