#include "app/NearestCityInfoBar.h"

#include <algorithm>
#include <iterator>

#include "data/City.h"
#include "data/Country.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "time/DisplayFormats.h"
#include "data/ReferenceLookup.h"
#include "resources/Resources.h"

namespace {

struct ButtonLayout {
    int id;
    UINT tip;  // string
    UINT smallBitmap;
    UINT largeBitmap;
};

constexpr ButtonLayout kButtonLayouts[NearestCityInfoBar::kButtonCount] = {
    {NearestCityInfoBar::kInfoButton, OBResources::kCityInfoTip, OBResources::kCityInfoSmall,
     OBResources::kCityInfoLarge},
    {NearestCityInfoBar::kAddButton, OBResources::kAddCityTip, OBResources::kAddCitySmall,
     OBResources::kAddCityLarge},
    {NearestCityInfoBar::kNearbyButton, OBResources::kNearbyCitiesTip, OBResources::kNearbyCitiesSmall,
     OBResources::kNearbyCitiesLarge},
    {NearestCityInfoBar::kCloseButton, OBResources::kCloseBarTip, OBResources::kCloseBarSmall,
     OBResources::kCloseBarLarge},
    {NearestCityInfoBar::kNearerButton, OBResources::kNearerCityTip, OBResources::kNearerCitySmall,
     OBResources::kNearerCityLarge},
    {NearestCityInfoBar::kFurtherButton, OBResources::kFurtherCityTip, OBResources::kFurtherCitySmall,
     OBResources::kFurtherCityLarge},
};

constexpr wchar_t kMeasureText[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890|";
constexpr int kButtonGap = 2;   // between the four buttons on the right
constexpr int kArrowsGap = 16;  // between the arrows and those buttons
constexpr int kTextGap = 4;     // between the name and the arrows

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    ::GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void DrawLine(HDC dc, const std::wstring& text, RECT box, UINT align) {
    ::DrawText(dc, text.c_str(), static_cast<int>(text.size()), &box,
               DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS | align);
}

// The time at the right; the name at the left with as much of the country
// and distance as fits beside it. Where the box has room for two lines (the
// large buttons make the bar taller) the country and distance go below.
void DrawFacts(HDC dc, const RECT& box, const NearestCityInfoBar::Facts& facts) {
    TEXTMETRIC metrics{};
    ::GetTextMetrics(dc, &metrics);
    const int lineHeight = metrics.tmHeight;
    const bool twoLines = box.bottom - box.top >= 2 * lineHeight;
    RECT first = box;
    if (twoLines)
        first.bottom = first.top + (box.bottom - box.top) / 2;
    if (!facts.time.empty()) {
        DrawLine(dc, facts.time, first, DT_RIGHT);
        first.right = std::max<LONG>(first.left, first.right - TextWidth(dc, facts.time) - kTextGap * 2);
    }
    std::wstring details = facts.country;
    if (!facts.distance.empty())
        details += (details.empty() ? L"" : L", ") + facts.distance;
    if (twoLines) {
        DrawLine(dc, facts.name, first, DT_LEFT);
        RECT second = box;
        second.top = first.bottom;
        DrawLine(dc, details, second, DT_LEFT);
        return;
    }
    const int room = first.right - first.left;
    const std::wstring candidates[] = {
        details.empty() ? facts.name : facts.name + L", " + details,
        facts.country.empty() ? facts.name : facts.name + L", " + facts.country,
    };
    for (const std::wstring& line : candidates)
        if (TextWidth(dc, line) <= room) {
            DrawLine(dc, line, first, DT_LEFT);
            return;
        }
    DrawLine(dc, facts.name, first, DT_LEFT);
}

}  // namespace

NearestCityInfoBar::NearestCityInfoBar() {
    ZEP_Wnd::RegisterWindowClass(kClassName, nullptr, ::LoadCursor(nullptr, IDC_ARROW),
                                 ::GetSysColorBrush(COLOR_STATIC));
}

bool NearestCityInfoBar::Create(HWND parent, const RECT& rect, UINT id) {
    if (!CreateChild(kClassName, L"", WS_CHILD | WS_CLIPCHILDREN, 0, rect, parent, id))
        return false;
    // The given left, top and right; the height is the bar's own.
    MoveWindow(rect.left, rect.top, rect.right - rect.left, m_height, false);
    LayoutButtons();
    return true;
}

bool NearestCityInfoBar::OnCreate(CREATESTRUCT*) {
    m_font.Reset(ZEP_Wnd::CreatePointFont(kFontPoints));
    m_tip.Create(m_hwnd, ZEP_Wnd::ToolTip::SingleLine | ZEP_Wnd::ToolTip::AlwaysAbove);

    ZEP_Wnd::WindowDC screen(nullptr);
    const bool small = ::GetDeviceCaps(screen, LOGPIXELSX) < kSmallButtonDpiLimit;
    const RECT none{0, 0, 0, 0};
    for (const ButtonLayout& layout : kButtonLayouts) {
        ImageButton& button = GetButton(layout.id);
        if (!button.Create(m_hwnd, none, static_cast<UINT>(layout.id),
                           small ? layout.smallBitmap : layout.largeBitmap))
            return false;
        const std::wstring tip = ZEP_Wnd::LoadString(layout.tip);
        button.SetToolTip(&m_tip, tip.c_str());
    }

    SIZE text{0, 0};
    {
        ZEP_Wnd::SelectGuard font(screen, m_font);
        ::GetTextExtentPoint32(screen, kMeasureText, static_cast<int>(std::size(kMeasureText) - 1), &text);
    }
    // On a dense screen the bar takes two lines, so the country and distance
    // find room under the name; the small screen keeps one line for the list.
    const int lines = small ? 1 : 2;
    m_height = std::max<int>(lines * text.cy, GetButton(kInfoButton).GetSize().cy) + 2 * kBorder + 2;
    UpdateArrows();
    return true;
}

void NearestCityInfoBar::OnDestroy() {
    if (m_tip.GetHandle())
        m_tip.Destroy();
    ZEP_Wnd::Window::OnDestroy();
}

void NearestCityInfoBar::LayoutButtons() {
    if (!m_hwnd)
        return;
    const RECT client = GetClientRect();
    const int inset = kBorder + 1;
    const int top = client.top + inset;
    int right = client.right - inset;
    for (int id : {kCloseButton, kNearbyButton, kAddButton, kInfoButton}) {
        ImageButton& button = GetButton(id);
        const SIZE size = button.GetSize();
        button.MoveWindow(right - size.cx, top, size.cx, size.cy, true);
        right -= size.cx + kButtonGap;
    }
    // The arrows, one above the other, left of the four.
    right += kButtonGap - kArrowsGap;
    const SIZE nearer = GetButton(kNearerButton).GetSize();
    const SIZE further = GetButton(kFurtherButton).GetSize();
    GetButton(kNearerButton).MoveWindow(right - nearer.cx, top, nearer.cx, nearer.cy, true);
    GetButton(kFurtherButton).MoveWindow(right - further.cx, top + nearer.cy, further.cx, further.cy, true);
}

RECT NearestCityInfoBar::TextRect() const {
    RECT text = GetClientRect();
    ::InflateRect(&text, -(kBorder + 1), -(kBorder + 1));
    // The name ends before the arrows, so a long one never runs under them.
    const HWND nearer = m_buttons[kNearerButton - kInfoButton].GetHandle();
    if (nearer) {
        RECT arrows{};
        ::GetWindowRect(nearer, &arrows);
        POINT corner{arrows.left, arrows.top};
        ::ScreenToClient(m_hwnd, &corner);
        text.right = std::max(text.left, std::min<LONG>(text.right, corner.x - kTextGap));
    }
    return text;
}

void NearestCityInfoBar::SetPosition(const OBData::Position& position) {
    m_index = 0;
    m_position = position;
    m_candidates.clear();
    OBData::FindNearestCities(position, m_candidates);
    UpdateArrows();
    if (IsVisible())
        Invalidate(false);
    else
        ShowWindow(SW_SHOW);
}

OBData::City* NearestCityInfoBar::GetCurrentCity() const {
    if (m_index < 0 || m_index >= static_cast<int>(m_candidates.size()))
        return nullptr;
    return OBData::GetCity(m_candidates[static_cast<std::size_t>(m_index)].cityId);
}

void NearestCityInfoBar::Step(int delta) {
    const int count = static_cast<int>(m_candidates.size());
    m_index += delta;
    if (m_index < 0)
        m_index = 0;
    if (m_index >= count)
        m_index = std::max(count - 1, 0);
    UpdateArrows();
    Invalidate(false);
}

void NearestCityInfoBar::UpdateArrows() {
    const int count = static_cast<int>(m_candidates.size());
    ImageButton& nearer = GetButton(kNearerButton);
    ImageButton& further = GetButton(kFurtherButton);
    if (nearer.GetHandle())
        nearer.EnableWindow(m_index > 0);
    if (further.GetHandle())
        further.EnableWindow(m_index < count - 1);
}

void NearestCityInfoBar::OnButton(int id) {
    if (id == kNearerButton)
        Step(-1);
    else if (id == kFurtherButton)
        Step(+1);
    const UINT self = static_cast<UINT>(::GetDlgCtrlID(m_hwnd));
    ::SendMessage(GetParentHandle(), WM_COMMAND, MAKEWPARAM(self, id), reinterpret_cast<LPARAM>(m_hwnd));
}

void NearestCityInfoBar::Paint(HDC target) {
    const RECT client = GetClientRect();
    const int width = client.right - client.left, height = client.bottom - client.top;
    m_buffer.Draw(target, width, height, [&](HDC dc) {
        const COLORREF text = ::GetSysColor(COLOR_INFOTEXT), back = ::GetSysColor(COLOR_INFOBK);
        ZEP_Wnd::OwnedPen frame(::CreatePen(PS_SOLID, kBorder, text));
        ZEP_Wnd::SelectGuard pen(dc, frame);
        ZEP_Wnd::SelectGuard brush(dc, ::GetSysColorBrush(COLOR_INFOBK));
        ::Rectangle(dc, 0, 0, width, height);
        const OBData::City* city = GetCurrentCity();
        if (!city)
            return;
        const Facts facts = GetFacts();
        m_shownTime = facts.time;
        ZEP_Wnd::SelectGuard font(dc, m_font);
        ::SetTextColor(dc, text);
        ::SetBkColor(dc, back);
        ::SetBkMode(dc, OPAQUE);
        DrawFacts(dc, TextRect(), facts);
    });
}

NearestCityInfoBar::Facts NearestCityInfoBar::GetFacts() const {
    Facts facts;
    const OBData::City* city = GetCurrentCity();
    if (!city)
        return facts;
    facts.name = city->GetDisplayName();
    if (!m_time.IsEmpty())
        facts.time =
            OBData::FormatClockTime(GetAppSettings().GetMainTimeFormat(), city->GetLocalTime(m_time));
    if (const OBData::Country* country = city->GetCountry())
        facts.country = country->GetDisplayName();
    const OBData::City* home = m_group ? m_group->GetHomeCity() : nullptr;
    if (home && home->GetId() != city->GetId())
        facts.distance = OBData::Distance(home->GetDistance(*city), OBData::kKilometres)
                             .Format(GetAppSettings().GetUnits(), true);
    return facts;
}

void NearestCityInfoBar::SetCityGroup(const OBData::CityGroup* group) {
    m_group = group;
    if (m_hwnd && IsVisible())
        Invalidate(false);
}

void NearestCityInfoBar::SetTime(const ZEP_Utility::DateTime& utc) {
    m_time = utc;
    // The clock ticks every few seconds; the bar repaints when its minute moves.
    if (m_hwnd && IsVisible() && GetFacts().time != m_shownTime)
        Invalidate(false);
}

bool NearestCityInfoBar::OnPaint() {
    ZEP_Wnd::PaintDC paint(m_hwnd);
    if (paint.IsValid())
        Paint(paint);
    return true;
}

// The paint covers everything.
bool NearestCityInfoBar::OnEraseBackground(HDC) { return true; }

bool NearestCityInfoBar::OnSize(SIZE) {
    LayoutButtons();
    Invalidate(false);
    return true;
}

HBRUSH NearestCityInfoBar::OnCtlColor(UINT message, HDC, HWND) {
    // The buttons' transparent corners show the bar's colour.
    return message == WM_CTLCOLORBTN ? ::GetSysColorBrush(COLOR_INFOBK) : nullptr;
}

bool NearestCityInfoBar::OnCommand(const CommandParams& command) {
    const int id = static_cast<int>(command.id);
    if (command.code != BN_CLICKED || id < kInfoButton || id > kFurtherButton)
        return false;
    OnButton(id);
    return true;
}
