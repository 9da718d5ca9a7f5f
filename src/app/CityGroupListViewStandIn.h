// A plain city list used by the views until the real list controls exist:
// one row per city with its name and local time, a selected row, taps,
// tap-and-hold and the selection notification. Replaced by
// CityGroupListCtrl / CityGroupInfoList / DayNightImageList when they land.
#pragma once

#include <string>

#include "data/City.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Shell.h"
#include "time/DateTime.h"
#include "time/DisplayFormats.h"
#include "wnd/Library.h"
#include "wnd/Window.h"

namespace OBControls {

class DayNightImageList {
public:
    bool Create() { return true; }
};

class CityGroupListCtrl : public ZEP_Wnd::Window {
public:
    static constexpr const wchar_t* kClassName = L"Orbelline_CityGroupListCtrl";

    CityGroupListCtrl(OBData::CityGroup* group, int fontSize) : m_group(group), m_fontSize(fontSize) {
        ZEP_Wnd::RegisterWindowClass(kClassName, nullptr, ::LoadCursor(nullptr, IDC_ARROW),
                                     ::GetSysColorBrush(COLOR_WINDOW));
    }
    ~CityGroupListCtrl() override {
        if (m_font) ::DeleteObject(m_font);
    }

    bool Create(HWND parent, const RECT& rect, DWORD flags, UINT id) {
        m_flags = flags;
        return CreateChild(kClassName, L"", WS_CHILD | WS_VSCROLL, 0, rect, parent, id);
    }
    virtual void StoreState() {}
    void SetCityGroup(OBData::CityGroup* group, bool repaint) {
        if (group && group != m_group) m_group->Assign(*group);
        const int old = m_selected;
        m_selected = 0;
        if (repaint) Invalidate(true);
        Notify(static_cast<UINT>(-100), old == m_selected ? -1 : old);
    }
    void SetTime(const ZEP_Utility::DateTime& time, bool repaint) {
        m_time = time;
        if (repaint) Invalidate(false);
    }
    void SetEmptyText(UINT id) { m_emptyText = ZEP_Wnd::LoadString(id); }
    void SetFlags(DWORD flags) { m_flags = flags; Invalidate(true); }
    void SelectRow(int row) {
        if (m_group->GetCount() == 0) return;
        row = row < 0 ? 0 : (row >= m_group->GetCount() ? m_group->GetCount() - 1 : row);
        if (row == m_selected) return;
        m_selected = row;
        Invalidate(true);
    }
    int GetSelectedRow() const { return m_selected; }
    OBData::City* GetSelectedCity() const {
        return m_selected >= 0 && m_selected < m_group->GetCount() ? m_group->GetCities()[m_selected] : nullptr;
    }

    bool OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
        switch (message) {
        case WM_CREATE:
            return false;
        case WM_PAINT:
            Paint();
            result = 0;
            return true;
        case WM_LBUTTONDOWN: {
            const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            SetFocus();
            const int row = pt.y / RowHeight();
            if (row < m_group->GetCount()) SelectRow(row);
            SHRGINFO info{sizeof(SHRGINFO), m_hwnd, pt, SHRG_NOTIFYPARENT};
            ::ClientToScreen(m_hwnd, &info.ptDown);
            ::SHRecognizeGesture(&info);
            result = 0;
            return true;
        }
        default:
            return false;
        }
    }

protected:
    int RowHeight() const { return (2 * m_fontSize + 6) * DpiY() / 72; }
    static int DpiY() {
        HDC dc = ::GetDC(nullptr);
        const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
        ::ReleaseDC(nullptr, dc);
        return dpi > 0 ? dpi : 96;
    }
    void Notify(UINT code, int oldRow) {
        (void)oldRow;
        NMHDR hdr{m_hwnd, static_cast<UINT_PTR>(::GetDlgCtrlID(m_hwnd)), code};
        ::SendMessage(GetParentHandle(), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    }
    void Paint() {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hwnd, &ps);
        if (!m_font) m_font = ZEP_Wnd::CreatePointFont(m_fontSize);
        HGDIOBJ oldFont = ::SelectObject(dc, m_font);
        RECT client = GetClientRect();
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
        ::SetBkMode(dc, TRANSPARENT);
        if (m_group->GetCount() == 0) {
            RECT r{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
            ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
            ::DrawText(dc, m_emptyText.c_str(), -1, &r, DT_CENTER | DT_WORDBREAK);
        }
        const int h = RowHeight();
        for (int i = 0; i < m_group->GetCount(); ++i) {
            const OBData::City* city = m_group->GetCities()[i];
            RECT r{client.left, i * h, client.right, (i + 1) * h};
            const bool sel = i == m_selected;
            if (sel) ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_HIGHLIGHT));
            ::SetTextColor(dc, ::GetSysColor(sel ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            RECT t{r.left + 2, r.top + 1, r.right - 2, r.bottom};
            ::DrawText(dc, city->GetDisplayName().c_str(), -1, &t, DT_LEFT | DT_SINGLELINE);
            const std::wstring time = OBData::FormatClockTime(0, city->GetLocalTime(m_time));
            ::DrawText(dc, time.c_str(), -1, &t, DT_RIGHT | DT_SINGLELINE);
        }
        ::SelectObject(dc, oldFont);
        ::EndPaint(m_hwnd, &ps);
    }

    OBData::CityGroup* m_group;
    int m_fontSize;
    DWORD m_flags = 0;
    int m_selected = 0;
    ZEP_Utility::DateTime m_time;
    std::wstring m_emptyText;
    HFONT m_font = nullptr;
};

class CityGroupInfoList : public CityGroupListCtrl {
public:
    CityGroupInfoList(const std::wstring& listName, OBData::CityGroup* group, int fontSize)
        : CityGroupListCtrl(group, fontSize), m_listName(listName) {}
    void SetImageList(DayNightImageList* list) { m_images = list; }
    void StoreState() override { GetSettingsStore().SetString(m_listName, L"0;0;1;2;3;4;5;6;"); }

private:
    std::wstring m_listName;
    DayNightImageList* m_images = nullptr;
};

}  // namespace OBControls
