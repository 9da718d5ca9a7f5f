#include "app/CityGroupInfoList.h"

#include <algorithm>

#include "data/City.h"
#include "info/ClockChanges.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "time/DisplayFormats.h"

namespace OBControls {

namespace {

constexpr const wchar_t* kMeasureText = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890";
constexpr UINT kLineFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

int TextHeight(HDC dc, HFONT font) {
    if (!font)
        return 0;
    ZEP_Wnd::SelectGuard select(dc, font);
    SIZE size{0, 0};
    ::GetTextExtentPoint32(dc, kMeasureText, static_cast<int>(std::wcslen(kMeasureText)), &size);
    return size.cy;
}

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    ::GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

CityGroupInfoList::CityGroupInfoList(const std::wstring& listName, OBData::CityGroup* cityGroup, int fontSize)
    : CityGroupListCtrl(cityGroup, fontSize), m_listName(listName) {
    std::wstring stored;
    if (GetSettingsStore().GetString(m_listName, stored))
        m_fieldSet.LoadFromText(stored);
}

CityGroupInfoList::~CityGroupInfoList() = default;

bool CityGroupInfoList::OnCreate(CREATESTRUCT* createInfo) {
    m_boldFont.Reset(ZEP_Wnd::CreatePointFont(m_fontSize, true));
    return CityGroupListCtrl::OnCreate(createInfo);
}

void CityGroupInfoList::OnDestroy() {
    m_boldFont.Reset();
    CityGroupListCtrl::OnDestroy();
}

void CityGroupInfoList::SetImageList(DayNightImageList* list) {
    m_images = list;
    if (!m_hwnd)
        return;
    // A picture may be taller than the text.
    Measure();
    UpdateScrollBar();
    ScrollTo(m_topRow);
    Invalidate(false);
}

void CityGroupInfoList::SetSelectedFields(const std::vector<int>& indexes) {
    m_fieldSet.SetSelectedFields(indexes);
    if (m_hwnd)
        Invalidate(false);
}

void CityGroupInfoList::StoreState() { GetSettingsStore().SetString(m_listName, m_fieldSet.ToText()); }

std::wstring CityGroupInfoList::GetInfoText(const OBData::City& city) const {
    if (!m_cityGroup)
        return std::wstring();
    // A clock change in the coming week outweighs the chosen field: a time
    // agreed across it would be an hour out.
    std::wstring change = OBData::UpcomingClockChangeText(city, m_time, GetAppSettings().GetMainTimeFormat());
    if (!change.empty())
        return change;
    return m_fieldSet.GetText(*m_cityGroup, city, m_time);
}

int CityGroupInfoList::MeasureRowHeight() {
    int line = 0;
    {
        const ZEP_Wnd::WindowDC dc(m_hwnd);
        if (!dc)
            return 1;
        line = std::max(TextHeight(dc, m_normalFont), TextHeight(dc, m_boldFont));
    }
    if (m_images)
        line = std::max<int>(line, m_images->GetImageSize().cy);
    m_lineHeight = std::max(1, line);
    int height = m_lineHeight + 1;
    if (!(m_flags & kOneLineRows))
        height += std::max<int>(m_lineHeight, m_previousButton.GetSize().cy);
    return height;
}

void CityGroupInfoList::DrawHeader(HDC, const ZEP_Utility::DateTime&, const RECT&) {}

void CityGroupInfoList::PlaceInfoButtons(int left, int lineTop) {
    ImageButton* buttons[] = {&m_previousButton, &m_nextButton};
    int x = left;
    for (ImageButton* button : buttons) {
        if (!button->GetHandle())
            continue;
        const SIZE size = button->GetSize();
        const int y = size.cy < m_lineHeight ? lineTop + (m_lineHeight - size.cy) / 2 : lineTop;
        const RECT now = ScreenToClient(button->GetWindowRect());
        if (!button->IsVisible() || now.left != x || now.top != y)
            button->SetWindowPos(nullptr, x, y, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        x += size.cx;
    }
}

void CityGroupInfoList::SetDayPartTint(bool on) {
    if (on == m_dayPartTint)
        return;
    m_dayPartTint = on;
    if (m_hwnd)
        Invalidate(false);
}

COLORREF CityGroupInfoList::TintColour(OBData::DayPart part, bool selected, COLORREF highlight) {
    using OBData::DayPart;
    if (!selected) {
        switch (part) {
        case DayPart::Work: return RGB(218, 242, 210);
        case DayPart::Waking: return RGB(252, 243, 208);
        case DayPart::Night: return RGB(222, 227, 242);
        }
    }
    // A third of the way from the highlight to a deep shade of the part's
    // colour: still dark under the highlight text.
    const COLORREF shade = part == DayPart::Work     ? RGB(20, 130, 50)
                           : part == DayPart::Waking ? RGB(170, 120, 0)
                                                     : RGB(20, 20, 70);
    const auto mix = [](int from, int to) { return (from * 2 + to) / 3; };
    return RGB(mix(GetRValue(highlight), GetRValue(shade)), mix(GetGValue(highlight), GetGValue(shade)),
               mix(GetBValue(highlight), GetBValue(shade)));
}

void CityGroupInfoList::DrawRow(const RowPaint& row, OBData::City* city, const ZEP_Utility::DateTime& time) {
    if (!city)
        return;
    const HDC dc = row.dc;
    const RECT& rect = row.band;
    const bool selected = row.selected;
    const bool infoLineOnly = row.infoLineOnly;
    const ZEP_Utility::DateTime local = city->GetLocalTime(time);
    const bool oneLine = (m_flags & kOneLineRows) != 0;
    const int bottom = (m_flags & kSeparatorLines) ? rect.bottom - 1 : rect.bottom;

    RECT area{rect.left + 1, rect.top, rect.right - 1, bottom};
    if (m_images)
        area.left += m_images->GetImageSize().cx + 1;

    RECT fill{rect.left, rect.top, rect.right, bottom};
    if (infoLineOnly) {
        fill.left = area.left;
        fill.top = rect.top + m_lineHeight;
    }
    if (fill.bottom > fill.top) {
        if (m_dayPartTint) {
            const OBData::WorkingHours hours{GetAppSettings().GetWorkStart(), GetAppSettings().GetWorkEnd()};
            ::SetDCBrushColor(dc, TintColour(OBData::DayPartOf(local, hours), selected, row.backColour));
            ::FillRect(dc, &fill, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        } else {
            ::FillRect(dc, &fill, row.backBrush);
        }
    }
    if (m_images && !infoLineOnly)
        m_images->Draw(*city, time, dc, rect.left + 1, rect.top);

    ::SetTextColor(dc, row.textColour);
    ::SetBkMode(dc, TRANSPARENT);

    if (!infoLineOnly) {
        std::wstring clock = OBData::FormatClockTime(GetAppSettings().GetMainTimeFormat(), local);
        if (oneLine)
            clock = L" " + local.FormatDate(L"ddd") + L" " + clock;
        RECT line{area.left, area.top, area.right, area.top + m_lineHeight};
        int clockWidth = 0;
        {
            ZEP_Wnd::SelectGuard bold(dc, m_boldFont);
            clockWidth = TextWidth(dc, clock);
            ::DrawText(dc, clock.c_str(), -1, &line, kLineFormat | DT_RIGHT);
        }
        ZEP_Wnd::SelectGuard normal(dc, m_normalFont);
        RECT name = line;
        name.right = std::max<LONG>(name.left, line.right - clockWidth - 2);
        const std::wstring displayName = city->GetDisplayName();
        ::DrawText(dc, displayName.c_str(), -1, &name, kLineFormat | DT_LEFT);
    }

    if (oneLine) {
        if (selected)
            HideInfoButtons();
        return;
    }

    const int lineTop = rect.top + m_lineHeight;
    const SIZE button = m_previousButton.GetSize();
    RECT info{area.left + 2 * button.cx + 2, lineTop, area.right, lineTop + m_lineHeight};
    const std::wstring text = GetInfoText(*city);
    {
        ZEP_Wnd::SelectGuard normal(dc, m_normalFont);
        ::DrawText(dc, text.c_str(), -1, &info, kLineFormat | DT_RIGHT);
    }
    if (selected)
        PlaceInfoButtons(area.left, lineTop);
}

bool CityGroupInfoList::OnKeyDown(UINT key, UINT flags) {
    if (key == VK_LEFT)
        ShowPreviousInfo();
    else if (key == VK_RIGHT)
        ShowNextInfo();
    else
        return CityGroupListCtrl::OnKeyDown(key, flags);
    return true;
}

void CityGroupInfoList::ShowPreviousInfo() { StepField(-1); }

void CityGroupInfoList::ShowNextInfo() { StepField(+1); }

void CityGroupInfoList::StepField(int delta) {
    if (m_flags & kOneLineRows)
        return;
    m_fieldSet.Step(delta, GetCityCount() < 2);
    RepaintInfoLines();
}

void CityGroupInfoList::RepaintInfoLines() {
    if (!m_hwnd || GetCityCount() == 0 || !IsVisible())
        return;
    const ZEP_Wnd::WindowDC dc(m_hwnd);
    if (dc)
        PaintRows(dc, GetClientRect(), true, m_lineHeight);
}

}  // namespace OBControls
