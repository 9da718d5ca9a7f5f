#include "app/NearestCityInfoBar.h"

#include <algorithm>
#include <iterator>

#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "resources/Resources.h"

namespace {

struct ButtonLayout {
    int id;
    UINT tip;  // string id
    UINT smallBitmap;
    UINT largeBitmap;
};

constexpr ButtonLayout kButtonLayouts[NearestCityInfoBar::kButtonCount] = {
    {NearestCityInfoBar::kInfoButton, 18, OBResources::kCityInfoSmall, OBResources::kCityInfoLarge},
    {NearestCityInfoBar::kAddButton, 17, OBResources::kAddCitySmall, OBResources::kAddCityLarge},
    {NearestCityInfoBar::kNearbyButton, 19, OBResources::kNearbyCitiesSmall, OBResources::kNearbyCitiesLarge},
    {NearestCityInfoBar::kCloseButton, 20, OBResources::kCloseBarSmall, OBResources::kCloseBarLarge},
    {NearestCityInfoBar::kNearerButton, 21, OBResources::kNearerCitySmall, OBResources::kNearerCityLarge},
    {NearestCityInfoBar::kFurtherButton, 22, OBResources::kFurtherCitySmall, OBResources::kFurtherCityLarge},
};

constexpr wchar_t kMeasureText[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890|";
constexpr int kButtonGap = 2;   // between the four buttons on the right
constexpr int kArrowsGap = 16;  // between the arrows and those buttons
constexpr int kTextGap = 4;     // between the name and the arrows

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
    m_height = std::max<int>(text.cy, GetButton(kInfoButton).GetSize().cy) + 2 * kBorder + 2;
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
        RECT box = TextRect();
        const std::wstring name = city->GetDisplayName();
        ZEP_Wnd::SelectGuard font(dc, m_font);
        ::SetTextColor(dc, text);
        ::SetBkColor(dc, back);
        ::SetBkMode(dc, OPAQUE);
        ::DrawText(dc, name.c_str(), static_cast<int>(name.size()), &box,
                   DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
    });
}

bool NearestCityInfoBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_PAINT: {
        ZEP_Wnd::PaintDC paint(m_hwnd);
        if (paint.IsValid())
            Paint(paint);
        result = 0;
        return true;
    }
    case WM_ERASEBKGND:
        result = 1;  // the paint covers everything
        return true;
    case WM_SIZE:
        LayoutButtons();
        Invalidate(false);
        result = 0;
        return true;
    case WM_CTLCOLORBTN:
        // The buttons' transparent corners show the bar's colour.
        result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_INFOBK));
        return true;
    case WM_COMMAND: {
        const CommandParams command = CommandFromParams(wParam, lParam);
        const int id = static_cast<int>(command.id);
        if (command.code != BN_CLICKED || id < kInfoButton || id > kFurtherButton)
            return false;
        OnButton(id);
        result = 0;
        return true;
    }
    default: return false;
    }
}
