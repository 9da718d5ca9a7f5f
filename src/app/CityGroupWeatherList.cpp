#include "app/CityGroupWeatherList.h"

#include <cmath>

#include <algorithm>

#include "data/City.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "resources/ResourceIds.h"
#include "time/DisplayFormats.h"
#include "weather/WeatherIcons.h"
#include "weather/WeatherReader.h"
#include "wnd/Library.h"

namespace OBControls {

namespace {

constexpr int kBusyFrames = 8;
constexpr COLORREF kBusyTransparent = RGB(255, 0, 255);
constexpr const wchar_t* kWidestCell = L"188/188";
constexpr const wchar_t* kNoTemperatures = L"-/-";

SIZE TextSize(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    ::GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

int BitmapWidth(UINT bitmapId) {
    ZEP_Wnd::OwnedBitmap bitmap(::LoadBitmap(ZEP_Wnd::GetInstanceHandle(), MAKEINTRESOURCE(bitmapId)));
    BITMAP info{};
    if (!bitmap || !::GetObject(bitmap, sizeof info, &info))
        return 0;
    return info.bmWidth;
}

}  // namespace

CityGroupWeatherList::CityGroupWeatherList(OBData::CityGroup* cityGroup, OBWeather::WeatherReader* reader,
                                           int fontSize, int smallFontSize)
    : CityGroupListCtrl(cityGroup, fontSize), m_smallFontSize(smallFontSize), m_reader(reader) {}

CityGroupWeatherList::~CityGroupWeatherList() = default;

bool CityGroupWeatherList::OnCreate(CREATESTRUCT* createInfo) {
    m_dayNames[0] = ZEP_Wnd::LoadString(OBResources::kTodayText);
    for (UINT i = 0; i < 7; ++i)
        m_dayNames[i + 1] = ZEP_Wnd::LoadString(OBResources::kSundayText + i);
    m_smallFont.Reset(ZEP_Wnd::CreatePointFont(m_smallFontSize));

    const auto icon = OBWeather::GetIconSize();
    {
        ZEP_Wnd::WindowDC screen(m_hwnd);
        ZEP_Wnd::SelectGuard font(screen, m_smallFont);
        m_smallLineHeight = TextSize(screen, L"Ag").cy;
        m_columnWidth = std::max(icon.first, static_cast<int>(TextSize(screen, kWidestCell).cx));
        for (const std::wstring& name : m_dayNames)
            m_columnWidth = std::max(m_columnWidth, static_cast<int>(TextSize(screen, name).cx));
        m_iconDC = std::make_unique<ZEP_Wnd::MemoryDC>(screen);
    }
    const int frameWidth = BitmapWidth(OBResources::kBusyAnimation) / kBusyFrames;
    if (frameWidth > 0)
        m_busyAnimation.Create(OBResources::kBusyAnimation, frameWidth, kBusyTransparent);

    if (!CityGroupListCtrl::OnCreate(createInfo))
        return false;
    SetFirstDay(0);
    return true;
}

void CityGroupWeatherList::OnDestroy() {
    if (m_busyTimer) {
        ::KillTimer(m_hwnd, m_busyTimer);
        m_busyTimer = 0;
    }
    m_busy = false;
    CityGroupListCtrl::OnDestroy();
    m_iconDC.reset();
    m_smallFont.Reset();
    m_forecasts.clear();
}

// The shown days are not kept between runs.
void CityGroupWeatherList::StoreState() {}

int CityGroupWeatherList::GetHeaderHeight() {
    return m_smallLineHeight + ((m_flags & kSeparatorLines) ? 1 : 0);
}

int CityGroupWeatherList::MeasureRowHeight() {
    int line = 0;
    {
        ZEP_Wnd::WindowDC dc(m_hwnd);
        ZEP_Wnd::SelectGuard font(dc, m_normalFont);
        line = TextSize(dc, L"Ag").cy;
    }
    const int cells =
        OBWeather::GetIconSize().second + m_smallLineHeight + 2 + ((m_flags & kSeparatorLines) ? 1 : 0);
    return std::max(line, cells);
}

RECT CityGroupWeatherList::GetDayCell(const RECT& band, int column) const {
    const int right = band.right - m_previousButton.GetSize().cx;
    RECT cell{right - (kShownDays - column) * m_columnWidth, band.top, 0, band.bottom};
    cell.right = cell.left + m_columnWidth;
    if (m_flags & kSeparatorLines)
        cell.bottom -= 1;
    return cell;
}

ZEP_Utility::DateTime CityGroupWeatherList::GetColumnDate(int column) const {
    return m_dayDate.AddDays(m_firstDay + column);
}

std::wstring CityGroupWeatherList::GetColumnName(int column) const {
    const int offset = m_firstDay + column;
    if (offset == 0)
        return m_dayNames[0];
    const int weekday = m_dayDate.AddDays(offset).GetDayOfWeek();
    return m_dayNames[static_cast<std::size_t>(std::clamp(weekday, 0, 6) + 1)];
}

ZEP_Utility::XMLDoc* CityGroupWeatherList::GetForecast(int cityId) const {
    const auto found = m_forecasts.find(cityId);
    return found == m_forecasts.end() ? nullptr : found->second.get();
}

std::wstring CityGroupWeatherList::FormatTemperatures(double high, double low) const {
    if (GetAppSettings().GetTemperatureUnits() == 1) {
        high = OBData::CelsiusToFahrenheit(high);
        low = OBData::CelsiusToFahrenheit(low);
    }
    const auto part = [](double value) {
        return std::isnan(value) ? std::wstring(L"-") : std::to_wstring(OBData::RoundToInt(value));
    };
    return part(high) + L"/" + part(low);
}

std::wstring CityGroupWeatherList::GetCellText(OBData::City* city, int column) {
    double high = 0, low = 0;
    ZEP_Utility::XMLDoc* forecast = city ? GetForecast(city->GetId()) : nullptr;
    if (m_reader && forecast && m_reader->GetTemperatures(forecast, GetColumnDate(column), high, low))
        return FormatTemperatures(high, low);
    return kNoTemperatures;
}

void* CityGroupWeatherList::GetCellIcon(OBData::City* city, int column) {
    if (!m_reader || !city)
        return nullptr;
    return m_reader->GetIconBitmap(GetForecast(city->GetId()), GetColumnDate(column));
}

// ---------------------------------------------------------------- days

void CityGroupWeatherList::SetFirstDay(int offset) {
    offset = std::clamp(offset, 0, kLastFirstDay);
    if (m_previousButton.GetHandle())
        m_previousButton.EnableWindow(offset > 0);
    if (m_nextButton.GetHandle())
        m_nextButton.EnableWindow(offset < kLastFirstDay);
    if (offset == m_firstDay)
        return;
    m_firstDay = offset;
    if (m_hwnd)
        Invalidate(false);
}

void CityGroupWeatherList::ShowPreviousInfo() { SetFirstDay(m_firstDay - 1); }

void CityGroupWeatherList::ShowNextInfo() { SetFirstDay(m_firstDay + 1); }

bool CityGroupWeatherList::OnKeyDown(UINT key, UINT flags) {
    if (key == VK_LEFT)
        ShowPreviousInfo();
    else if (key == VK_RIGHT)
        ShowNextInfo();
    else
        return CityGroupListCtrl::OnKeyDown(key, flags);
    return true;
}

// Every new city group reads the forecast files again.
void CityGroupWeatherList::OnCityGroupChanged() {
    m_forecasts.clear();
    if (!m_reader || !m_cityGroup)
        return;
    for (OBData::City* city : m_cityGroup->GetCities())
        if (city)
            m_forecasts[city->GetId()] = m_reader->OpenForecast(city->GetId());
}

// The days follow the home city's calendar, not the device's.
bool CityGroupWeatherList::OnTimeChanged() {
    const ZEP_Utility::DateTime old = m_dayDate;
    const OBData::City* home = m_cityGroup ? m_cityGroup->GetHomeCity() : nullptr;
    m_dayDate = home ? home->GetLocalTime(m_time) : m_time;
    return !(old.GetDate() == m_dayDate.GetDate());
}

// ---------------------------------------------------------------- busy

void CityGroupWeatherList::SetBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (!m_hwnd)
        return;
    if (busy) {
        m_busyTimer = ::SetTimer(m_hwnd, kBusyTimerId, kBusyTimerPeriodMs, nullptr);
    } else {
        if (m_busyTimer)
            ::KillTimer(m_hwnd, m_busyTimer);
        m_busyTimer = 0;
    }
    RepaintBusyArea();
}

RECT CityGroupWeatherList::GetBusyArea() const {
    const RECT client = GetClientRect();
    const RECT header{client.left, client.top, client.right, client.top + m_headerHeight};
    RECT area = header;
    area.right = std::max(area.left, GetDayCell(header, 0).left);
    return area;
}

void CityGroupWeatherList::SetStatusText(const std::wstring& text) {
    if (text == m_statusText)
        return;
    m_statusText = text;
    if (!m_busy)
        RepaintBusyArea();
}

void CityGroupWeatherList::ReloadForecast(int cityId) {
    if (!m_reader || !m_cityGroup || m_cityGroup->IndexOf(cityId) < 0)
        return;
    m_forecasts[cityId] = m_reader->OpenForecast(cityId);
    if (m_hwnd)
        Invalidate(false);
}

bool CityGroupWeatherList::HasNoForecasts() const {
    for (const auto& [id, forecast] : m_forecasts)
        if (forecast && forecast->GetDocument() &&
            forecast->GetDocument()->select_node("/obWeather/forecast/forecastDays/forecastDay"))
            return false;
    return true;
}

void CityGroupWeatherList::DrawBusyArea(HDC dc, const RECT& area) {
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_WINDOW));
    if (!m_busy) {
        if (m_statusText.empty())
            return;
        RECT text{area.left + 1, area.top, area.right, area.bottom};
        ZEP_Wnd::SelectGuard font(dc, m_smallFont);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkMode(dc, TRANSPARENT);
        ::DrawText(dc, m_statusText.c_str(), -1, &text,
                   DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        return;
    }
    // The frames are drawn for the small screen; on a dense one they are
    // doubled (over the window colour, so their transparency holds).
    const SIZE frame = m_busyAnimation.GetSize();
    const int scale = GetScreenDpiX() >= 151 ? 2 : 1;
    const int height = area.bottom - area.top;
    const int x = area.left + 1;
    const int y = area.top + (height - frame.cy * scale) / 2;
    if (scale == 1) {
        m_busyAnimation.Draw(dc, x, y);
    } else if (frame.cx > 0 && frame.cy > 0) {
        ZEP_Wnd::MemoryDC small(dc);
        ZEP_Wnd::OwnedBitmap picture(::CreateCompatibleBitmap(dc, frame.cx, frame.cy));
        ZEP_Wnd::SelectGuard selected(small, picture);
        const RECT whole{0, 0, frame.cx, frame.cy};
        ::FillRect(small, &whole, ::GetSysColorBrush(COLOR_WINDOW));
        m_busyAnimation.Draw(small, 0, 0);
        ::StretchBlt(dc, x, y, frame.cx * scale, frame.cy * scale, small, 0, 0, frame.cx, frame.cy, SRCCOPY);
    }
    RECT text{x + frame.cx * scale + 1, area.top, area.right, area.bottom};
    ZEP_Wnd::SelectGuard font(dc, m_smallFont);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    ::SetBkMode(dc, TRANSPARENT);
    const std::wstring updating = ZEP_Wnd::LoadString(OBResources::kUpdatingText);
    ::DrawText(dc, updating.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CityGroupWeatherList::RepaintBusyArea() {
    if (!m_hwnd || !IsVisible() || m_headerHeight <= 0 || GetCityCount() == 0)
        return;
    const RECT area = GetBusyArea();
    if (area.right <= area.left)
        return;
    ZEP_Wnd::WindowDC screen(m_hwnd);
    const RECT client = GetClientRect();
    if (!screen || !m_buffer.EnsureSize(screen, client.right - client.left, client.bottom - client.top))
        return;
    DrawBusyArea(m_buffer.GetDC(), area);
    ::BitBlt(screen, area.left, area.top, area.right - area.left, area.bottom - area.top, m_buffer.GetDC(),
             area.left, area.top, SRCCOPY);
}

bool CityGroupWeatherList::OnTimer(UINT_PTR id) {
    if (id != kBusyTimerId)
        return CityGroupListCtrl::OnTimer(id);
    RepaintBusyArea();
    m_busyAnimation.NextFrame();
    return true;
}

// ---------------------------------------------------------------- drawing

void CityGroupWeatherList::DrawHeader(HDC dc, const ZEP_Utility::DateTime&, const RECT& rect) {
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_WINDOW));
    RECT busy = rect;
    busy.right = std::max(busy.left, GetDayCell(rect, 0).left);
    DrawBusyArea(dc, busy);

    ZEP_Wnd::SelectGuard font(dc, m_smallFont);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkMode(dc, TRANSPARENT);
    for (int column = 0; column < kShownDays; ++column) {
        RECT cell = GetDayCell(rect, column);
        cell.bottom = rect.top + m_smallLineHeight;
        const std::wstring name = GetColumnName(column);
        ::DrawText(dc, name.c_str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void CityGroupWeatherList::DrawRow(const RowPaint& paint, OBData::City* city, const ZEP_Utility::DateTime&) {
    if (!city)
        return;
    const HDC dc = paint.dc;
    const RECT& band = paint.band;
    const bool selected = paint.selected;
    const RECT row{band.left + 1, band.top + 1, band.right - 1, band.bottom - 1};
    if (!paint.infoLineOnly) {
        RECT fill = band;
        if (m_flags & kSeparatorLines)
            fill.bottom -= 1;
        ::FillRect(dc, &fill, paint.backBrush);
        RECT name{row.left + 1, row.top + 1, GetDayCell(row, 0).left - 1, row.bottom - 1};
        if (selected)
            name.right -= m_previousButton.GetSize().cx;
        ZEP_Wnd::SelectGuard font(dc, m_normalFont);
        ::SetTextColor(dc, paint.textColour);
        ::SetBkMode(dc, TRANSPARENT);
        const std::wstring displayName = city->GetDisplayName();
        if (name.right > name.left)
            ::DrawText(dc, displayName.c_str(), -1, &name,
                       DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
    }

    // The days keep the window's colours on the selected row too.
    ZEP_Wnd::SelectGuard font(dc, m_smallFont);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    ::SetBkMode(dc, TRANSPARENT);
    ZEP_Utility::XMLDoc* forecast = GetForecast(city->GetId());
    for (int column = 0; column < kShownDays; ++column)
        DrawCell(dc, forecast, GetColumnDate(column), GetDayCell(row, column));

    if (selected)
        PlaceDayButtons(band);
}

void CityGroupWeatherList::DrawCell(HDC dc, ZEP_Utility::XMLDoc* forecast, const ZEP_Utility::DateTime& date,
                                    const RECT& cell) {
    ::FillRect(dc, &cell, ::GetSysColorBrush(COLOR_WINDOW));
    if (!m_reader)
        return;
    if (HBITMAP icon = static_cast<HBITMAP>(m_reader->GetIconBitmap(forecast, date)); icon && m_iconDC) {
        BITMAP info{};
        ::GetObject(icon, sizeof info, &info);
        const int cellWidth = cell.right - cell.left;
        const int width = std::min<int>(info.bmWidth, cellWidth);
        const int height = (cell.bottom - cell.top) - m_smallLineHeight;
        if (width > 0 && height > 0 && info.bmHeight > 0) {
            ZEP_Wnd::SelectGuard picture(*m_iconDC, icon);
            ::StretchBlt(dc, cell.left + (cellWidth - width) / 2, cell.top, width, height, *m_iconDC, 0, 0,
                         info.bmWidth, info.bmHeight, SRCCOPY);
        }
    }
    double high = 0, low = 0;
    const std::wstring text = forecast && m_reader->GetTemperatures(forecast, date, high, low)
                                  ? FormatTemperatures(high, low)
                                  : std::wstring(kNoTemperatures);
    RECT band{cell.left, cell.bottom - m_smallLineHeight, cell.right, cell.bottom};
    ::DrawText(dc, text.c_str(), -1, &band, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
}

void CityGroupWeatherList::PlaceDayButtons(const RECT& band) {
    const RECT row{band.left + 1, band.top + 1, band.right - 1, band.bottom - 1};
    const RECT first = GetDayCell(row, 0);
    const RECT last = GetDayCell(row, kShownDays - 1);
    const int xs[] = {first.left - static_cast<int>(m_previousButton.GetSize().cx), last.right};
    ImageButton* buttons[] = {&m_previousButton, &m_nextButton};
    for (int i = 0; i < 2; ++i) {
        ImageButton& button = *buttons[i];
        if (!button.GetHandle())
            continue;
        const SIZE size = button.GetSize();
        const int y = band.top + (band.bottom - band.top - size.cy) / 2;
        const RECT now = ScreenToClient(button.GetWindowRect());
        if (!button.IsVisible() || now.left != xs[i] || now.top != y)
            button.SetWindowPos(nullptr, xs[i], y, 0, 0,
                                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

}  // namespace OBControls
