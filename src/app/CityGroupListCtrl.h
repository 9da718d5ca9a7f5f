// The vertical list of the user's cities that every main view shows: one
// row per city in group order, home city first. The control draws its rows
// through an off-screen buffer, keeps a selected row, scrolls, takes taps
// and keys, and tells its parent about them. What a row shows is left to
// derived classes.
#pragma once

#include <string>

#include "app/ImageButton.h"
#include "data/Forward.h"
#include "platform/ui/Controls.h"
#include "time/DateTime.h"
#include "wnd/Library.h"
#include "wnd/Paint.h"
#include "wnd/ToolTip.h"
#include "wnd/Window.h"

namespace OBControls {

// Notification codes the list sends to its parent (as WM_NOTIFY from its id).
constexpr UINT kCityListSelectionChanged = static_cast<UINT>(-100);  // CityListSelectionNotify
constexpr UINT kCityListKeyDown = static_cast<UINT>(-15);            // NMKEY
constexpr UINT kCityListTapped = static_cast<UINT>(-2);              // CityListTapNotify
// Tap-and-hold arrives as NM_RECOGNIZEGESTURE (1000), sent by the shell.

struct CityListSelectionNotify {
    NMHDR hdr;
    int oldRow;  // -1 after a new city group
    int newRow;
};

struct CityListTapNotify {
    NMHDR hdr;
    POINT point;  // client coordinates of the list
    int row;
};

class CityGroupListCtrl : public ZEP_Wnd::Window {
public:
    // How DrawRow draws one row: where, in which colours, and how much of it.
    struct RowPaint {
        HDC dc = nullptr;
        RECT band{};  // the whole row, in client coordinates
        COLORREF textColour = 0;
        COLORREF backColour = 0;
        HBRUSH backBrush = nullptr;  // fills the background; not owned
        bool selected = false;
        bool infoLineOnly = false;  // only the part below the row's first line
    };

    static constexpr const wchar_t* kClassName = L"Orbelline_CityGroupListCtrl";
    static constexpr int kPreviousInfoId = 1001;
    static constexpr int kNextInfoId = 1002;
    // Flags.
    static constexpr DWORD kSeparatorLines = 1;
    static constexpr DWORD kOneLineRows = 2;
    static constexpr COLORREF kSeparatorColour = RGB(192, 192, 192);

    CityGroupListCtrl(OBData::CityGroup* cityGroup, int fontSize);
    ~CityGroupListCtrl() override;

    // A child window with a vertical scroll bar; the caller shows it.
    bool Create(HWND parent, const RECT& rect, DWORD flags, UINT id);

    // Takes `group`'s cities (unless it is the list's own group), selects the
    // first row and scrolls to the top.
    void SetCityGroup(OBData::CityGroup* group, bool repaint);
    OBData::CityGroup* GetCityGroup() const { return m_cityGroup; }
    // The UTC moment whose local times the rows show.
    void SetTime(const ZEP_Utility::DateTime& time, bool repaint);
    const ZEP_Utility::DateTime& GetTime() const { return m_time; }
    void SetEmptyText(UINT stringId);
    const std::wstring& GetEmptyText() const { return m_emptyText; }
    void SetFlags(DWORD flags);
    DWORD GetFlags() const { return m_flags; }

    void SelectRow(int row);
    int GetSelectedRow() const { return m_selectedRow; }
    // The city of the selected row, or nullptr.
    OBData::City* GetSelectedCity() const;

    // Geometry, in client coordinates.
    int GetTopRow() const { return m_topRow; }
    int GetRowHeightPixels() const { return m_rowHeight; }
    int GetHeaderHeightPixels() const { return m_headerHeight; }
    int GetVisibleRowCount() const;
    // The band of a row (whether visible or not).
    RECT GetRowRect(int row) const;
    // The row under a point, or -1.
    int RowFromPoint(POINT point) const;
    void ScrollTo(int top);

    int GetCityCount() const;
    OBData::City* GetCityAt(int row) const;

    ImageButton& GetPreviousInfoButton() { return m_previousButton; }
    ImageButton& GetNextInfoButton() { return m_nextButton; }
    ZEP_Wnd::ToolTip& GetToolTip() { return m_toolTip; }

    // Window. Every key, once the list has moved its selection, goes on to
    // the parent as kCityListKeyDown.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCreate(CREATESTRUCT* createInfo) override;
    void OnDestroy() override;
    bool OnPaint() override;
    bool OnEraseBackground(HDC dc) override;
    bool OnSize(SIZE client) override;
    bool OnVScroll(const ScrollParams& scroll) override;
    bool OnLButtonDown(POINT at, UINT flags) override;
    bool OnLButtonUp(POINT at, UINT flags) override;
    bool OnGetDlgCode(const MSG* message, LRESULT& codes) override;
    // The info buttons' clicks.
    bool OnCommand(const CommandParams& command) override;

    // Virtual operations of the list, in slot order.
    virtual void StoreState();
    virtual int MeasureRowHeight() = 0;
    // Draws `city` as it is at `time` into `row`.
    virtual void DrawRow(const RowPaint& row, OBData::City* city, const ZEP_Utility::DateTime& time) = 0;
    virtual void DrawHeader(HDC dc, const ZEP_Utility::DateTime& time, const RECT& rect);
    virtual int GetHeaderHeight();
    virtual void OnCityGroupChanged();
    virtual bool OnTimeChanged();
    bool OnKeyDown(UINT key, UINT flags) override;
    virtual void ShowPreviousInfo();
    virtual void ShowNextInfo();
    virtual void OnSelectionChanged(int oldRow, int newRow);

protected:
    // Row and header heights again (after a change of fonts, pictures or flags).
    void Measure();
    void UpdateScrollBar();
    void HideInfoButtons();
    void InvalidateRow(int row, bool erase = false);
    // Draws the rows that meet `area` through the buffer. With
    // `infoLinesOnly`, only the part of each row below its first line.
    void PaintRows(HDC dc, const RECT& area, bool infoLinesOnly, int firstLineHeight);
    void Paint(HDC dc, const RECT& area);
    void SendNotify(NMHDR& header, UINT code);
    int GetScreenDpiX() const;

    OBData::CityGroup* m_cityGroup;
    ZEP_Wnd::OwnedFont m_normalFont;
    int m_fontSize;
    DWORD m_flags = 0;
    ZEP_Utility::DateTime m_time;
    ImageButton m_previousButton;
    ImageButton m_nextButton;
    ZEP_Wnd::OffscreenBuffer m_buffer;
    ZEP_Wnd::ToolTip m_toolTip;
    int m_topRow = 0;
    int m_selectedRow = 0;
    int m_rowHeight = 0;
    int m_headerHeight = 0;
    COLORREF m_separatorColour = kSeparatorColour;
    ZEP_Wnd::OwnedPen m_separatorPen;
    std::wstring m_emptyText;
};

}  // namespace OBControls
