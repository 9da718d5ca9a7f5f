#include "app/CityGroupListCtrl.h"

#include <algorithm>

#include "data/City.h"
#include "model/CityGroup.h"
#include "platform/ui/Shell.h"
#include "resources/ResourceIds.h"

namespace OBControls {

namespace {

constexpr UINT kSmallButtonDpiLimit = 151;  // fewer pixels per inch: the small buttons
constexpr unsigned kToolTipFlags = ZEP_Wnd::ToolTip::SingleLine | ZEP_Wnd::ToolTip::AlwaysAbove;

bool Meets(const RECT& a, const RECT& b) {
    RECT common;
    return ::IntersectRect(&common, &a, &b) != FALSE;
}

}  // namespace

CityGroupListCtrl::CityGroupListCtrl(OBData::CityGroup* cityGroup, int fontSize)
    : m_cityGroup(cityGroup), m_fontSize(fontSize) {
    ZEP_Wnd::RegisterWindowClass(kClassName, nullptr, ::LoadCursor(nullptr, IDC_ARROW),
                                 ::GetSysColorBrush(COLOR_WINDOW));
}

CityGroupListCtrl::~CityGroupListCtrl() = default;

bool CityGroupListCtrl::Create(HWND parent, const RECT& rect, DWORD flags, UINT id) {
    m_flags = flags;
    return CreateChild(kClassName, L"", WS_VSCROLL, 0, rect, parent, id);
}

int CityGroupListCtrl::GetCityCount() const { return m_cityGroup ? m_cityGroup->GetCount() : 0; }

OBData::City* CityGroupListCtrl::GetCityAt(int row) const {
    if (row < 0 || row >= GetCityCount())
        return nullptr;
    return m_cityGroup->GetCities()[static_cast<size_t>(row)];
}

OBData::City* CityGroupListCtrl::GetSelectedCity() const { return GetCityAt(m_selectedRow); }

int CityGroupListCtrl::GetScreenDpiX() const {
    const ZEP_Wnd::WindowDC screen(nullptr);
    return screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
}

bool CityGroupListCtrl::OnCreate(CREATESTRUCT*) {
    m_normalFont.Reset(ZEP_Wnd::CreatePointFont(m_fontSize));
    if (!m_separatorPen)
        m_separatorPen.Reset(::CreatePen(PS_SOLID, 1, m_separatorColour));
    m_toolTip.Create(m_hwnd, kToolTipFlags);

    const bool small = GetScreenDpiX() < static_cast<int>(kSmallButtonDpiLimit);
    const RECT none{0, 0, 0, 0};
    if (m_previousButton.Create(m_hwnd, none, kPreviousInfoId,
                                small ? OBResources::kPreviousInfoSmall : OBResources::kPreviousInfoLarge)) {
        const std::wstring tip = ZEP_Wnd::LoadString(OBResources::kPreviousInfoTip);
        m_previousButton.SetToolTip(&m_toolTip, tip.c_str());
        m_previousButton.ShowWindow(SW_HIDE);  // shown on the selected row when painted
    }
    if (m_nextButton.Create(m_hwnd, none, kNextInfoId,
                            small ? OBResources::kNextInfoSmall : OBResources::kNextInfoLarge)) {
        const std::wstring tip = ZEP_Wnd::LoadString(OBResources::kNextInfoTip);
        m_nextButton.SetToolTip(&m_toolTip, tip.c_str());
        m_nextButton.ShowWindow(SW_HIDE);
    }
    Measure();
    SetCityGroup(m_cityGroup, true);
    return true;
}

void CityGroupListCtrl::OnDestroy() {
    HideInfoButtons();
    if (m_toolTip.GetHandle())
        m_toolTip.Destroy();
    m_normalFont.Reset();
    ZEP_Wnd::Window::OnDestroy();
}

void CityGroupListCtrl::Measure() {
    m_rowHeight = std::max(1, MeasureRowHeight());
    m_headerHeight = std::max(0, GetHeaderHeight());
}

int CityGroupListCtrl::GetVisibleRowCount() const {
    if (!m_hwnd || m_rowHeight <= 0)
        return 0;
    const RECT client = GetClientRect();
    const int height = client.bottom - client.top - m_headerHeight;
    return height > 0 ? height / m_rowHeight : 0;
}

RECT CityGroupListCtrl::GetRowRect(int row) const {
    const RECT client = m_hwnd ? GetClientRect() : RECT{0, 0, 0, 0};
    const int top = m_headerHeight + (row - m_topRow) * m_rowHeight;
    return RECT{client.left, top, client.right, top + m_rowHeight};
}

int CityGroupListCtrl::RowFromPoint(POINT point) const {
    if (m_rowHeight <= 0 || point.y < m_headerHeight)
        return -1;
    const int row = (point.y - m_headerHeight) / m_rowHeight + m_topRow;
    return row < GetCityCount() ? row : -1;
}

void CityGroupListCtrl::UpdateScrollBar() {
    if (!m_hwnd)
        return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(0, GetCityCount() - 1);
    info.nPage = static_cast<UINT>(GetVisibleRowCount());
    info.nPos = m_topRow;
    ::SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
}

void CityGroupListCtrl::HideInfoButtons() {
    if (m_previousButton.GetHandle() && m_previousButton.IsVisible())
        m_previousButton.ShowWindow(SW_HIDE);
    if (m_nextButton.GetHandle() && m_nextButton.IsVisible())
        m_nextButton.ShowWindow(SW_HIDE);
}

void CityGroupListCtrl::InvalidateRow(int row, bool erase) {
    if (!m_hwnd || row < m_topRow)
        return;
    const RECT band = GetRowRect(row);
    const RECT client = GetClientRect();
    if (band.top >= client.bottom)
        return;
    InvalidateRect(band, erase);
}

void CityGroupListCtrl::ScrollTo(int top) {
    const int limit = GetCityCount() - GetVisibleRowCount();
    top = std::max(0, std::min(top, limit));
    if (top == m_topRow)
        return;
    HideInfoButtons();
    m_topRow = top;
    if (!m_hwnd)
        return;
    ::SetScrollPos(m_hwnd, SB_VERT, m_topRow, TRUE);
    // Every band moves, so the rows' whole area is drawn again.
    RECT rows = GetClientRect();
    rows.top = m_headerHeight;
    InvalidateRect(rows, false);
}

void CityGroupListCtrl::SetCityGroup(OBData::CityGroup* group, bool repaint) {
    if (group && m_cityGroup && group != m_cityGroup)
        m_cityGroup->Assign(*group);
    m_selectedRow = 0;
    m_topRow = 0;
    OnCityGroupChanged();
    UpdateScrollBar();
    if (repaint && m_hwnd)
        Invalidate(true);
    OnSelectionChanged(-1, m_selectedRow);
}

void CityGroupListCtrl::SetTime(const ZEP_Utility::DateTime& time, bool repaint) {
    m_time = time;
    const bool asked = OnTimeChanged();
    if ((repaint || asked) && m_hwnd)
        Invalidate(false);
}

void CityGroupListCtrl::SetEmptyText(UINT stringId) { m_emptyText = ZEP_Wnd::LoadString(stringId); }

void CityGroupListCtrl::SetFlags(DWORD flags) {
    m_flags = flags;
    if (!m_hwnd)
        return;
    if (m_flags & kOneLineRows)
        HideInfoButtons();
    Measure();
    UpdateScrollBar();
    ScrollTo(m_topRow);
    Invalidate(true);
}

void CityGroupListCtrl::SelectRow(int row) {
    const int count = GetCityCount();
    if (count == 0)
        return;
    row = std::max(0, std::min(row, count - 1));
    if (row == m_selectedRow)
        return;
    const int old = m_selectedRow;
    InvalidateRow(old);
    m_selectedRow = row;
    const int visible = std::max(1, GetVisibleRowCount());
    if (row < m_topRow)
        ScrollTo(row);
    else if (row >= m_topRow + visible)
        ScrollTo(row - visible + 1);
    InvalidateRow(row);
    OnSelectionChanged(old, row);
}

void CityGroupListCtrl::SendNotify(NMHDR& header, UINT code) {
    if (!m_hwnd)
        return;
    header.hwndFrom = m_hwnd;
    header.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hwnd));
    header.code = code;
    if (HWND parent = GetParentHandle())
        ::SendMessage(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

// ---------------------------------------------------------------- virtuals

void CityGroupListCtrl::StoreState() {}

void CityGroupListCtrl::DrawHeader(HDC, const ZEP_Utility::DateTime&, const RECT&) {}

int CityGroupListCtrl::GetHeaderHeight() { return 0; }

void CityGroupListCtrl::OnCityGroupChanged() {}

bool CityGroupListCtrl::OnTimeChanged() { return false; }

bool CityGroupListCtrl::OnKeyDown(UINT key, UINT) {
    if (key == VK_UP)
        SelectRow(m_selectedRow - 1);
    else if (key == VK_DOWN)
        SelectRow(m_selectedRow + 1);
    return true;
}

void CityGroupListCtrl::ShowPreviousInfo() {}

void CityGroupListCtrl::ShowNextInfo() {}

void CityGroupListCtrl::OnSelectionChanged(int oldRow, int newRow) {
    CityListSelectionNotify notify{};
    notify.oldRow = oldRow;
    notify.newRow = newRow;
    SendNotify(notify.hdr, kCityListSelectionChanged);
}

// ---------------------------------------------------------------- messages

bool CityGroupListCtrl::OnVScroll(const ScrollParams& scroll) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!::GetScrollInfo(m_hwnd, SB_VERT, &info))
        return true;
    const int page = std::max(1, GetVisibleRowCount());
    int top = m_topRow;
    switch (scroll.code) {
    case SB_LINEUP: top -= 1; break;
    case SB_LINEDOWN: top += 1; break;
    case SB_PAGEUP: top -= page; break;
    case SB_PAGEDOWN: top += page; break;
    case SB_TOP: top = info.nMin; break;
    case SB_BOTTOM: top = info.nMax; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: top = info.nTrackPos; break;
    default: return true;
    }
    top = std::max(info.nMin, std::min(top, info.nMax));
    ScrollTo(top);
    return true;
}

bool CityGroupListCtrl::OnSize(SIZE) {
    // The off-screen buffer follows at the next paint, so the lists of the
    // hidden views hold none until they are first shown.
    UpdateScrollBar();
    ScrollTo(m_topRow);
    return true;
}

// The parent hears of a key after OnKeyDown, this list's or that of a list
// built on it, had it, whatever that made of it: a step after the typed
// dispatch rather than a handler, so it wraps the dispatch.
bool CityGroupListCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const bool handled = Window::OnMessage(message, wParam, lParam, result);
    if (message != WM_KEYDOWN)
        return handled;
    const KeyParams key = KeyFromParams(wParam, lParam);
    NMKEY notify{};
    notify.nVKey = key.key;
    notify.uFlags = key.flags;
    SendNotify(notify.hdr, kCityListKeyDown);
    return true;
}

bool CityGroupListCtrl::OnPaint() {
    const ZEP_Wnd::PaintDC paint(m_hwnd);
    if (paint.IsValid())
        Paint(paint, paint.Area());
    return true;
}

// Painting covers the whole client area; erasing first would flicker.
bool CityGroupListCtrl::OnEraseBackground(HDC) { return true; }

bool CityGroupListCtrl::OnLButtonDown(POINT at, UINT) {
    const int row = RowFromPoint(at);
    SetFocus();
    if (row >= 0)
        SelectRow(row);
    SHRGINFO gesture{};
    gesture.cbSize = sizeof gesture;
    gesture.hwndClient = m_hwnd;
    gesture.ptDown = at;
    gesture.dwFlags = SHRG_NOTIFYPARENT;
    ::SHRecognizeGesture(&gesture);
    return true;
}

bool CityGroupListCtrl::OnLButtonUp(POINT at, UINT) {
    const int row = RowFromPoint(at);
    if (row >= 0 && row == m_selectedRow) {
        CityListTapNotify notify{};
        notify.point = at;
        notify.row = row;
        SendNotify(notify.hdr, kCityListTapped);
    }
    return true;
}

bool CityGroupListCtrl::OnGetDlgCode(const MSG* message, LRESULT& codes) {
    if (!message)
        codes = 0;
    else if (message->message == WM_KEYDOWN && message->wParam == VK_UP && m_selectedRow <= 0)
        codes = 0;  // up from the first row leaves the list
    else
        codes = DLGC_WANTARROWS | DLGC_WANTTAB;
    return true;
}

bool CityGroupListCtrl::OnCommand(const CommandParams& command) {
    if (command.code != BN_CLICKED)
        return false;
    if (command.id == kPreviousInfoId)
        ShowPreviousInfo();
    else if (command.id == kNextInfoId)
        ShowNextInfo();
    else
        return false;
    return true;
}

// ---------------------------------------------------------------- painting

void CityGroupListCtrl::Paint(HDC dc, const RECT& area) {
    const RECT client = GetClientRect();
    const HBRUSH windowBrush = ::GetSysColorBrush(COLOR_WINDOW);
    if (GetCityCount() == 0) {
        HideInfoButtons();
        ::FillRect(dc, &client, windowBrush);
        ZEP_Wnd::SelectGuard font(dc, m_normalFont);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
        ::SetBkMode(dc, TRANSPARENT);
        RECT text{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
        ::DrawText(dc, m_emptyText.c_str(), -1, &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        return;
    }
    PaintRows(dc, area, false, 0);
}

void CityGroupListCtrl::PaintRows(HDC dc, const RECT& area, bool infoLinesOnly, int firstLineHeight) {
    const RECT client = GetClientRect();
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0 || !m_buffer.EnsureSize(dc, width, height))
        return;
    HDC buffer = m_buffer.GetDC();
    ZEP_Wnd::SelectGuard font(buffer, m_normalFont);
    ::SetBkMode(buffer, TRANSPARENT);
    const COLORREF windowColour = ::GetSysColor(COLOR_WINDOW);
    const COLORREF textColour = ::GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF highlightColour = ::GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF highlightTextColour = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    const HBRUSH normalBrush = ::GetSysColorBrush(COLOR_WINDOW);
    const HBRUSH selectedBrush = ::GetSysColorBrush(COLOR_HIGHLIGHT);

    if (!infoLinesOnly && m_headerHeight > 0) {
        const RECT header{client.left, client.top, client.right, client.top + m_headerHeight};
        if (Meets(header, area)) {
            DrawHeader(buffer, m_time, header);
            ::BitBlt(dc, header.left, header.top, width, m_headerHeight, buffer, header.left, header.top,
                     SRCCOPY);
        }
    }

    int drawnBottom = m_headerHeight;
    for (int row = m_topRow; row < GetCityCount(); ++row) {
        const RECT band = GetRowRect(row);
        if (band.top >= area.bottom || band.top >= client.bottom)
            break;
        drawnBottom = band.bottom;
        RECT copy = band;
        if (infoLinesOnly)
            copy.top += firstLineHeight;
        if (!Meets(copy, area))
            continue;
        RowPaint paint;
        paint.dc = buffer;
        paint.band = band;
        paint.selected = row == m_selectedRow;
        paint.textColour = paint.selected ? highlightTextColour : textColour;
        paint.backColour = paint.selected ? highlightColour : windowColour;
        paint.backBrush = paint.selected ? selectedBrush : normalBrush;
        paint.infoLineOnly = infoLinesOnly;
        DrawRow(paint, GetCityAt(row), m_time);
        if ((m_flags & kSeparatorLines) && !infoLinesOnly && m_separatorPen) {
            ZEP_Wnd::SelectGuard pen(buffer, m_separatorPen);
            ::MoveToEx(buffer, band.left, band.bottom - 1, nullptr);
            ::LineTo(buffer, band.right, band.bottom - 1);
        }
        ::BitBlt(dc, copy.left, copy.top, copy.right - copy.left, copy.bottom - copy.top, buffer, copy.left,
                 copy.top, SRCCOPY);
    }
    if (!infoLinesOnly && drawnBottom < area.bottom) {
        RECT rest{area.left, std::max<LONG>(area.top, drawnBottom), area.right, area.bottom};
        if (rest.bottom > rest.top)
            ::FillRect(dc, &rest, normalBrush);
    }
}

}  // namespace OBControls
