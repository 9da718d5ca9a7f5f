// The platform gallery: every control with realistic content, a menu bar
// with an open popup, a message box, a full-screen dialog with Done and an
// HTML page, each saved as a screenshot.
//
//   platform_gallery --screen 240x320 --out DIR      (headless, writes PNGs)
//   platform_gallery --screen 240x320 --display sdl  (shows the planner page
//                                                     on the desktop until closed)
//   platform_gallery --screen 480x640 --stay         (the planner page on the
//                                                     headless screen, idle)
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Shell.h"
#include "platform/ui/Windows.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/display/Display.h"
#include "platform/ui/html/HtmlControl.h"
#include "platform/ui/testing/UiDriver.h"
#include "platform/ui/win/ResourceRegistry.h"

namespace {

using ob::ui::testing::UiDriver;

// ---- pages: dialog templates in dialog units, as the program's own ------------------

DLGITEMTEMPLATE Item(const wchar_t* cls, const wchar_t* text, WORD id, DWORD style, short x, short y,
                     short cx, short cy) {
    DLGITEMTEMPLATE item;
    item.className = cls;
    item.text = text;
    item.id = id;
    item.style = style | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    return item;
}

constexpr DWORD kTab = WS_TABSTOP;
constexpr WORD kNone = 0xFFFF;

DLGTEMPLATE Page(const wchar_t* title, std::vector<DLGITEMTEMPLATE> items) {
    DLGTEMPLATE t;
    t.style = WS_POPUP | DS_SETFONT;
    t.cx = 136;
    t.cy = 156;
    t.title = title;
    t.items = std::move(items);
    return t;
}

DLGTEMPLATE OptionsPage() {
    const DWORD drop = CBS_DROPDOWNLIST | WS_VSCROLL | kTab;
    const DWORD check = BS_AUTOCHECKBOX | kTab;
    return Page(L"Options",
                {
                    Item(WC_STATIC, L"Time Format", kNone, SS_LEFT, 2, 3, 66, 8),
                    Item(WC_COMBOBOX, L"", 1031, drop, 70, 1, 65, 43),
                    Item(WC_STATIC, L"Distance Units", kNone, SS_LEFT, 2, 16, 66, 8),
                    Item(WC_COMBOBOX, L"", 1032, drop, 70, 14, 65, 47),
                    Item(WC_STATIC, L"Temperature Units", kNone, SS_LEFT, 2, 29, 66, 8),
                    Item(WC_COMBOBOX, L"", 1033, drop, 70, 27, 65, 39),
                    Item(WC_BUTTON, L"Map day/night shadow", 1015, check, 2, 42, 132, 10),
                    Item(WC_BUTTON, L"Map view 2 line display", 1016, check, 2, 53, 132, 10),
                    Item(WC_BUTTON, L"Planner view 2 line display", 1018, check, 2, 64, 132, 10),
                    Item(WC_STATIC, L"Auto update weather when:", kNone, SS_LEFT, 2, 77, 132, 8),
                    Item(WC_BUTTON, L"Attached to PC", 1019, check, 6, 86, 128, 10),
                    Item(WC_BUTTON, L"Connected to WiFi", 1020, check, 6, 97, 128, 10),
                    Item(WC_BUTTON, L"GPRS/data call detected", 1021, check | WS_DISABLED, 6, 108, 128, 10),
                    Item(WC_BUTTON, L"Only update weather when Orbelline is running", 1022,
                         check | BS_MULTILINE, 2, 121, 132, 16),
                    Item(WC_STATIC, L"Weather logging", kNone, SS_LEFT, 2, 141, 56, 8),
                    Item(WC_COMBOBOX, L"", 1034, drop, 60, 139, 75, 67),
                });
}

DLGTEMPLATE ChangeCitiesPage() {
    return Page(
        L"Change Cities",
        {
            Item(WC_STATIC, L"Country:", kNone, SS_LEFT, 4, 4, 32, 8),
            Item(WC_COMBOBOX, L"", 1001, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | kTab, 36, 2, 96, 64),
            Item(WC_LISTBOX, L"", 1002,
                 LBS_SORT | LBS_MULTIPLESEL | LBS_NOTIFY | WS_BORDER | WS_VSCROLL | kTab, 4, 17, 128, 40),
            Item(WC_BUTTON, L"Add", 1003, BS_PUSHBUTTON | kTab, 4, 60, 44, 12),
            Item(WC_BUTTON, L"Remove", 1004, BS_PUSHBUTTON | kTab, 88, 60, 44, 12),
            Item(WC_STATIC, L"Selected Cities:", kNone, SS_LEFT, 4, 86, 50, 8),
            Item(WC_BUTTON, L"Set as Home", 1006, BS_PUSHBUTTON | kTab, 53, 82, 51, 12),
            Item(WC_BUTTON, L"Up", 1007, BS_PUSHBUTTON | kTab, 107, 76, 25, 10),
            Item(WC_BUTTON, L"Down", 1008, BS_PUSHBUTTON | kTab, 107, 87, 25, 10),
            Item(WC_LISTBOX, L"", 1005, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | kTab, 4, 98, 128, 38),
            Item(WC_BUTTON, L"OK", 1, BS_DEFPUSHBUTTON | kTab, 4, 140, 48, 12),
            Item(WC_BUTTON, L"Cancel", 2, BS_PUSHBUTTON | kTab, 84, 140, 48, 12),
        });
}

DLGTEMPLATE AddCityPage() {
    return Page(
        L"Add City",
        {
            Item(WC_STATIC, L"Show the nearest", kNone, SS_LEFT, 4, 4, 58, 8),
            Item(WC_EDIT, L"", 1018, ES_NUMBER | ES_LEFT | WS_BORDER | kTab, 4, 13, 20, 12),
            Item(WC_STATIC, L"cities", kNone, SS_LEFT, 28, 15, 17, 8),
            Item(WC_BUTTON, L"Update", 1020, BS_PUSHBUTTON | kTab, 92, 12, 40, 14),
            Item(WC_LISTVIEW, L"", 1011,
                 LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | WS_BORDER | kTab, 4, 32, 128, 104),
            Item(WC_BUTTON, L"Add", 1, BS_DEFPUSHBUTTON | kTab, 4, 140, 48, 12),
            Item(WC_BUTTON, L"Cancel", 2, BS_PUSHBUTTON | kTab, 84, 140, 48, 12),
        });
}

DLGTEMPLATE ChangeFieldsPage() {
    return Page(
        L"Change Fields",
        {
            Item(WC_BUTTON, L"Move Up", 1007, BS_PUSHBUTTON | kTab, 16, 4, 49, 12),
            Item(WC_BUTTON, L"Move Down", 1008, BS_PUSHBUTTON | kTab, 69, 4, 47, 12),
            Item(WC_LISTVIEW, L"", 1010,
                 LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | WS_BORDER | kTab, 4,
                 20, 128, 116),
            Item(WC_BUTTON, L"OK", 1, BS_DEFPUSHBUTTON | kTab, 4, 140, 48, 12),
            Item(WC_BUTTON, L"Cancel", 2, BS_PUSHBUTTON | kTab, 84, 140, 48, 12),
        });
}

DLGTEMPLATE PlannerPage() {
    return Page(
        L"Time Planner",
        {
            Item(WC_BUTTON, L"Time", kNone, BS_GROUPBOX, 0, 0, 135, 40),
            Item(WC_BUTTON, L"-", 1013, BS_PUSHBUTTON | kTab, 7, 10, 13, 14),
            Item(TRACKBAR_CLASS, L"", 1012, TBS_AUTOTICKS | kTab, 28, 10, 79, 20),
            Item(WC_BUTTON, L"+", 1014, BS_PUSHBUTTON | kTab, 113, 10, 13, 14),
            Item(WC_STATIC, L"00:00", kNone, SS_LEFT, 25, 29, 20, 8),
            Item(WC_STATIC, L"12:00", kNone, SS_LEFT, 59, 29, 20, 8),
            Item(WC_STATIC, L"00:00", kNone, SS_LEFT, 91, 29, 20, 8),
            Item(WC_BUTTON, L"Date", 1030, BS_GROUPBOX, 0, 41, 135, 25),
            Item(DATETIMEPICK_CLASS, L"", 1015, DTS_LONGDATEFORMAT | kTab, 7, 49, 89, 15),
            Item(WC_BUTTON, L"Now", 1016, BS_PUSHBUTTON | kTab, 99, 49, 27, 14),
            // More of the set: an owner-drawn picture button pair, a scroll bar
            // and a centred, word-wrapped label.
            Item(WC_BUTTON, L"", 1040, BS_OWNERDRAW | BS_NOTIFY, 4, 72, 14, 14),
            Item(WC_BUTTON, L"", 1041, BS_OWNERDRAW | BS_NOTIFY | WS_DISABLED, 20, 72, 14, 14),
            Item(WC_STATIC, L"Owner-drawn buttons and a scroll bar", kNone, SS_CENTER, 38, 70, 96, 18),
            Item(WC_SCROLLBAR, L"", 1042, SBS_HORZ, 4, 92, 128, 10),
            Item(WC_BUTTON, L"Show the time in every city", 1043, BS_AUTOCHECKBOX | kTab, 4, 106, 128, 10),
            Item(WC_BUTTON, L"Default", 1044, BS_DEFPUSHBUTTON | kTab, 4, 120, 40, 14),
            Item(WC_BUTTON, L"Disabled", 1045, BS_PUSHBUTTON | WS_DISABLED, 48, 120, 40, 14),
            Item(WC_BUTTON, L"Push me", 1046, BS_PUSHBUTTON | kTab, 92, 120, 40, 14),
            Item(WC_STATIC, L"Not pushed yet", 1047, SS_LEFT | SS_NOPREFIX, 4, 138, 128, 8),
        });
}

// ---- content ---------------------------------------------------------------------

void AddStrings(HWND dlg, int id, UINT add, std::initializer_list<const wchar_t*> texts) {
    for (const wchar_t* text : texts)
        SendDlgItemMessage(dlg, id, add, 0, reinterpret_cast<LPARAM>(text));
}

// A picture strip of check boxes (unchecked, checked), magenta behind, as
// the program's state bitmap.
HIMAGELIST CheckPictures() {
    int scale = std::max(1, static_cast<int>(GetSystemMetrics(SM_CXSMICON) / 16));
    int size = 16 * scale;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP strip = CreateCompatibleBitmap(screen, 2 * size, size);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, strip);
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    RECT all{0, 0, 2 * size, size};
    FillRect(dc, &all, magenta);
    for (int i = 0; i < 2; ++i) {
        RECT box{i * size + 2 * scale, 2 * scale, i * size + 14 * scale, 14 * scale};
        FillRect(dc, &box, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FrameRect(dc, &box, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (i == 1) {
            HBRUSH ink = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            static const int kTop[7] = {2, 3, 4, 3, 2, 1, 0};
            for (int x = 0; x < 7; ++x) {
                RECT cell{i * size + (5 + x) * scale, (5 + kTop[x]) * scale, i * size + (6 + x) * scale,
                          (8 + kTop[x]) * scale};
                FillRect(dc, &cell, ink);
            }
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(magenta);
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR | ILC_MASK, 2, 10);
    ImageList_AddMasked(list, strip, RGB(255, 0, 255));
    DeleteObject(strip);
    return list;
}

void FillPage(HWND dlg, const std::wstring& title) {
    if (title == L"Options") {
        AddStrings(dlg, 1031, CB_ADDSTRING, {L"AM/PM", L"24 Hour"});
        AddStrings(dlg, 1032, CB_ADDSTRING, {L"Kilometres", L"Miles", L"Nautical miles"});
        AddStrings(dlg, 1033, CB_ADDSTRING, {L"Celsius", L"Fahrenheit"});
        AddStrings(dlg, 1034, CB_ADDSTRING,
                   {L"Full logging", L"Detailed information", L"Informational messages",
                    L"Warnings and errors", L"All errors", L"Critical errors only"});
        SendDlgItemMessage(dlg, 1031, CB_SETCURSEL, 1, 0);
        SendDlgItemMessage(dlg, 1032, CB_SETCURSEL, 0, 0);
        SendDlgItemMessage(dlg, 1033, CB_SETCURSEL, 0, 0);
        SendDlgItemMessage(dlg, 1034, CB_SETCURSEL, 3, 0);
        for (int id : {1015, 1016, 1020})
            CheckDlgButton(dlg, id, BST_CHECKED);
    } else if (title == L"Change Cities") {
        AddStrings(dlg, 1001, CB_ADDSTRING,
                   {L"United Kingdom", L"Germany", L"Australia", L"Japan", L"Brazil"});
        SendDlgItemMessage(dlg, 1001, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(L"Germany"));
        AddStrings(dlg, 1002, LB_ADDSTRING,
                   {L"Munich", L"Berlin", L"Hamburg", L"Frankfurt", L"Cologne", L"Stuttgart", L"Dresden",
                    L"Leipzig", L"Bremen", L"Hanover"});
        SendDlgItemMessage(dlg, 1002, LB_SETSEL, TRUE, 1);
        SendDlgItemMessage(dlg, 1002, LB_SETSEL, TRUE, 3);
        AddStrings(dlg, 1005, LB_ADDSTRING, {L"London [HOME]", L"New York", L"Tokyo", L"Sydney"});
        SendDlgItemMessage(dlg, 1005, LB_SETCURSEL, 2, 0);
        EnableWindow(GetDlgItem(dlg, 1007), TRUE);
    } else if (title == L"Add City") {
        SetDlgItemText(dlg, 1018, L"20");
        HWND list = GetDlgItem(dlg, 1011);
        SendMessage(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        LVCOLUMN column{};
        column.mask = LVCF_TEXT;
        column.pszText = const_cast<LPWSTR>(L"City");
        SendMessage(list, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&column));
        const wchar_t* rows[] = {L"Paris; France",         L"Versailles; France", L"Reims; France",
                                 L"Rouen; France",         L"Orleans; France",    L"Amiens; France",
                                 L"Le Havre; France",      L"Lille; France",      L"Brussels; Belgium",
                                 L"Caen; France",          L"Tours; France",      L"Antwerp; Belgium",
                                 L"Luxembourg; Luxembourg"};
        int i = 0;
        for (const wchar_t* row : rows) {
            LVITEM item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = i;
            item.pszText = const_cast<LPWSTR>(row);
            item.lParam = 100 + i++;
            SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
        }
        LVITEM state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessage(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
        SendMessage(list, LVM_SETITEMSTATE, 4, reinterpret_cast<LPARAM>(&state));
        SendMessage(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
    } else if (title == L"Change Fields") {
        HWND list = GetDlgItem(dlg, 1010);
        SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(CheckPictures()));
        SendMessage(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        LVCOLUMN column{};
        column.mask = LVCF_TEXT;
        column.pszText = const_cast<LPWSTR>(L"");
        SendMessage(list, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&column));
        const wchar_t* names[] = {L"Date", L"Distance",   L"Sunrise", L"Sunset",
                                  L"Dial", L"SummerTime", L"Airport"};
        for (int i = 0; i < 7; ++i) {
            LVITEM item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
            item.iItem = i;
            item.pszText = const_cast<LPWSTR>(names[i]);
            item.iImage = i < 4 ? 1 : 0;
            item.lParam = i;
            SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
        }
        LVITEM state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessage(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
    } else if (title == L"Time Planner") {
        HWND track = GetDlgItem(dlg, 1012);
        SendMessage(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 95));
        SendMessage(track, TBM_SETTICFREQ, 4, 0);
        SendMessage(track, TBM_SETPOS, TRUE, 58);
        SYSTEMTIME date{2026, 7, 0, 14, 14, 30, 0, 0};
        SendDlgItemMessage(dlg, 1015, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 99, 20, 30, 0};
        SetScrollInfo(GetDlgItem(dlg, 1042), SB_CTL, &info, TRUE);
        CheckDlgButton(dlg, 1043, BST_CHECKED);
    }
}

// Owner-drawn picture buttons: an arrow in a frame, inverted while pressed.
void DrawPictureButton(const DRAWITEMSTRUCT& dis) {
    bool pressed = dis.itemState & ODS_SELECTED;
    bool disabled = dis.itemState & ODS_DISABLED;
    COLORREF ink = disabled ? GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0);
    HBRUSH back = CreateSolidBrush(pressed ? ink : RGB(255, 255, 255));
    FillRect(dis.hDC, &dis.rcItem, back);
    DeleteObject(back);
    HBRUSH frame = CreateSolidBrush(ink);
    FrameRect(dis.hDC, &dis.rcItem, frame);
    DeleteObject(frame);
    int w = dis.rcItem.right - dis.rcItem.left, h = dis.rcItem.bottom - dis.rcItem.top;
    int cx = dis.rcItem.left + w / 2, cy = dis.rcItem.top + h / 2, half = std::max(2, h / 4);
    HBRUSH arrow = CreateSolidBrush(pressed ? RGB(255, 255, 255) : ink);
    bool left = dis.CtlID == 1040;
    for (int i = 0; i <= half; ++i) {
        int x = left ? cx - half / 2 + i : cx + half / 2 - i;
        RECT span{x, cy - i, x + 1, cy + i + 1};
        FillRect(dis.hDC, &span, arrow);
    }
    DeleteObject(arrow);
}

LRESULT PageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        SHINITDLGINFO info{SHIDIM_FLAGS, dlg,
                           SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU};
        SHInitDialog(&info);
        wchar_t title[64] = {};
        GetWindowText(dlg, title, 64);
        FillPage(dlg, title);
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (dis && dis->CtlType == ODT_BUTTON) {
            DrawPictureButton(*dis);
            return TRUE;
        }
        return FALSE;
    }
    case WM_HSCROLL: {
        HWND from = reinterpret_cast<HWND>(lParam);
        if (from && GetDlgCtrlID(from) == 1042) {
            int pos = GetScrollPos(from, SB_CTL);
            switch (LOWORD(wParam)) {
            case SB_LINELEFT: pos -= 1; break;
            case SB_LINERIGHT: pos += 1; break;
            case SB_PAGELEFT: pos -= 20; break;
            case SB_PAGERIGHT: pos += 20; break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: pos = HIWORD(wParam); break;
            default: return TRUE;
            }
            SetScrollPos(from, SB_CTL, pos, TRUE);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == 1046 && HIWORD(wParam) == BN_CLICKED) {
            static int presses = 0;
            ++presses;
            std::wstring text = L"Pushed " + std::to_wstring(presses) + (presses == 1 ? L" time" : L" times");
            SetDlgItemText(dlg, 1047, text.c_str());
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dlg, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

// ---- the HTML page -------------------------------------------------------------------

// A 32 x 32 sun on a sky, written as a 24-bit BMP for the page's picture.
bool WriteSunPicture(const std::string& path) {
    const int n = 32;
    std::vector<unsigned char> file(54 + n * n * 3, 0);
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, n);
    put32(22, n);
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int dx = 2 * x - n + 1, dy = 2 * y - n + 1;
            int d2 = dx * dx + dy * dy;
            bool sun = d2 < 20 * 20;
            bool ray = !sun && d2 < 30 * 30 && (dx == 0 || dy == 0 || dx == dy || dx == -dy);
            unsigned char b = sun || ray ? 0x20 : 0xE8, g = sun || ray ? 0xC0 : 0xC8,
                          r = sun || ray ? 0xFF : 0x90;
            size_t at = 54 + static_cast<size_t>((y * n + x) * 3);
            file[at] = b;
            file[at + 1] = g;
            file[at + 2] = r;
        }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

const wchar_t kPage[] =
    L"<b>London</b>, United Kingdom<br><small>51&deg;30'N 0&deg;7'W &middot; Europe/London</small><br><br>"
    L"<img src=\"sun.bmp\"> Local time <b>14:30</b>, no summer time.<br><br>"
    L"<table border=\"1\" cellpadding=\"2\"><tr><td>Sunrise</td><td><b>07:58</b></td></tr>"
    L"<tr><td>Solar noon</td><td>12:04</td></tr><tr><td>Sunset</td><td><b>16:11</b></td></tr>"
    L"<tr><td>Airport</td><td>LHR</td></tr></table><br>"
    L"<small>Nearby: Reading, Oxford, Cambridge, Brighton</small>";

LRESULT HtmlPageProc(HWND dlg, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_INITDIALOG)
        return FALSE;
    SHINITDLGINFO info{SHIDIM_FLAGS, dlg,
                       SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU};
    SHInitDialog(&info);
    RECT rc{};
    GetClientRect(dlg, &rc);
    HWND html = CreateWindowEx(0, WC_HTML, L"", WS_CHILD | WS_VISIBLE, 0, 0, rc.right, rc.bottom, dlg,
                               nullptr, nullptr, nullptr);
    auto* folder = reinterpret_cast<const std::wstring*>(lParam);
    if (html && folder)
        ob::ui::SetHtmlBaseFolder(html, *folder);
    SendMessage(html, DTM_CLEAR, 0, 0);
    SendMessage(html, DTM_ADDTEXTW, FALSE, reinterpret_cast<LPARAM>(kPage));
    SendMessage(html, DTM_ENDOFSOURCE, 0, 0);
    return TRUE;
}

// ---- the menu bar page ------------------------------------------------------------------

LRESULT FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
        SetBkMode(dc, TRANSPARENT);
        InflateRect(&rc, -GetSystemMetrics(SM_CXSMICON) / 2, -GetSystemMetrics(SM_CXSMICON) / 2);
        DrawText(dc, L"Tap a button on the menu bar below.", -1, &rc, DT_CENTER | DT_WORDBREAK);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_INITMENUPOPUP: {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        CheckMenuItem(menu, 40027, MF_BYCOMMAND | MF_CHECKED);
        EnableMenuItem(menu, 44002, MF_BYCOMMAND | MF_GRAYED);
        return 0;
    }
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

void RegisterGalleryResources() {
    using ob::ui::MenuResource;
    MenuResource file{
        L"File",
        0,
        0,
        {{L"About Orbelline...", 40003, 0, {}}, {L"", 0, MF_SEPARATOR, {}}, {L"Exit", 40007, 0, {}}}};
    MenuResource view{
        L"View",
        0,
        0,
        {{L"World Map", 40027, 0, {}}, {L"Time Planner", 40028, 0, {}}, {L"Weather", 40032, 0, {}}}};
    MenuResource city{L"City",
                      0,
                      0,
                      {{L"Information...", 44001, 0, {}},
                       {L"Weather Detail...", 44005, 0, {}},
                       {L"", 0, MF_SEPARATOR, {}},
                       {L"Set as Home", 44002, 0, {}},
                       {L"Remove", 44003, 0, {}},
                       {L"Move Up", 44007, 0, {}},
                       {L"Move Down", 44008, 0, {}},
                       {L"", 0, MF_SEPARATOR, {}},
                       {L"Change Cities...", 40012, 0, {}}}};
    MenuResource tools{L"Tools", 0, 0, {{L"Options...", 40033, 0, {}}, {L"Update Weather", 44006, 0, {}}}};
    ob::ui::RegisterMenu(103, MenuResource{L"", 0, 0, {file, view, city, tools}});
    ob::ui::RegisterMenuBar(103, ob::ui::MenuBarResource{103,
                                                         {{40004, 0, 0, L"File"},
                                                          {40008, 0, 1, L"View"},
                                                          {40009, 0, 2, L"City"},
                                                          {40034, 0, 3, L"Tools"}}});
}

HWND g_menuBar = nullptr;

HWND CreateFrame() {
    WNDCLASS wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = L"GalleryFrame";
    RegisterClass(&wc);
    RECT work{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    HWND frame =
        CreateWindowEx(0, L"GalleryFrame", L"Orbelline", WS_VISIBLE, work.left, work.top,
                       work.right - work.left, work.bottom - work.top, nullptr, nullptr, nullptr, nullptr);
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = frame;
    bar.nToolBarId = 103;
    if (SHCreateMenuBar(&bar)) {
        g_menuBar = bar.hwndMB;
        RECT barRect{};
        GetWindowRect(bar.hwndMB, &barRect);
        MoveWindow(frame, work.left, work.top, work.right - work.left, barRect.top - work.top, FALSE);
    }
    return frame;
}

// ---- running ----------------------------------------------------------------------------

struct Options {
    std::string screen = "240x320";
    std::string out = "gallery";
    std::string display = "headless";
    bool stay = false;  // keep the planner page open on the headless screen
};

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc)
                return false;
            into = argv[++i];
            return true;
        };
        if (arg == "--screen") {
            if (!value(options.screen))
                return false;
        } else if (arg == "--out") {
            if (!value(options.out))
                return false;
        } else if (arg == "--display") {
            if (!value(options.display))
                return false;
        } else if (arg == "--stay")
            options.stay = true;
        else
            return false;
    }
    return true;
}

// A key for the loop that is waiting (a popup menu, a message box) to read.
void PressKey(UINT key) {
    ob::ui::InjectKey(key, true);
    ob::ui::InjectKey(key, false);
}

int Shoot(UiDriver& ui, const std::string& path) {
    ui.RunUntilIdle();
    if (!ui.Screenshot(path)) {
        std::fprintf(stderr, "platform_gallery: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}

// Opens a page as a modeless full-screen dialog.
HWND OpenPage(DLGTEMPLATE page) {
    page.style |= WS_VISIBLE;
    return CreateDialogIndirectParam(nullptr, &page, nullptr, PageProc, 0);
}

int RunHeadless(const Options& options) {
    std::filesystem::create_directories(options.out);
    UiDriver ui(options.screen);
    InitCommonControls();
    RegisterGalleryResources();
    int failures = 0;
    auto shot = [&](const char* name) { failures += Shoot(ui, options.out + "/" + name + ".png"); };
    auto close = [&](HWND dlg) {
        DestroyWindow(dlg);
        ui.RunUntilIdle();
    };

    HWND dlg = OpenPage(OptionsPage());
    shot("01_options_done");
    close(dlg);

    dlg = OpenPage(ChangeCitiesPage());
    SetFocus(GetDlgItem(dlg, 1002));
    shot("02_lists");
    ui.Tap(GetDlgItem(dlg, 1001));
    shot("03_combo_open");
    close(dlg);

    dlg = OpenPage(AddCityPage());
    SetFocus(GetDlgItem(dlg, 1018));
    shot("04_edit_listview");
    close(dlg);

    dlg = OpenPage(ChangeFieldsPage());
    SetFocus(GetDlgItem(dlg, 1010));
    shot("05_checklist");
    close(dlg);

    dlg = OpenPage(PlannerPage());
    SetFocus(GetDlgItem(dlg, 1012));
    shot("06_planner");
    HWND picker = GetDlgItem(dlg, 1015);
    RECT pr{};
    GetWindowRect(picker, &pr);
    ui.Tap(POINT{pr.right - 3, (pr.top + pr.bottom) / 2});
    shot("07_date_open");
    close(dlg);

    // The HTML page, with its picture beside the screenshots.
    std::string sun = options.out + "/sun.bmp";
    if (!WriteSunPicture(sun))
        ++failures;
    InitHTMLControl(nullptr);
    std::wstring folder(std::filesystem::absolute(options.out).wstring());
    DLGTEMPLATE htmlPage = Page(L"City Information", {});
    htmlPage.style |= WS_VISIBLE;
    dlg = CreateDialogIndirectParam(nullptr, &htmlPage, nullptr, HtmlPageProc,
                                    reinterpret_cast<LPARAM>(&folder));
    shot("10_html");
    close(dlg);
    std::filesystem::remove(sun);

    HWND frame = CreateFrame();
    ui.RunUntilIdle();
    // The popup tracks in a loop of its own: the screenshot is taken from
    // inside it, then the popup is dismissed.
    ui.WhenIdle([&] {
        shot("08_menu_popup");
        PressKey(VK_ESCAPE);
    });
    if (g_menuBar) {
        // The bar's buttons are as wide as their text plus a margin: the
        // third one is "City".
        RECT bar{};
        GetWindowRect(g_menuBar, &bar);
        HDC dc = GetDC(g_menuBar);
        HGDIOBJ old = SelectObject(dc, ob::ui::DefaultControlFont());
        int margin = 16 * std::max(1, GetSystemMetrics(SM_CXSMICON) / 16);
        int x = bar.left;
        for (const wchar_t* text : {L"File", L"View"}) {
            SIZE size{};
            GetTextExtentPoint32(dc, text, static_cast<int>(wcslen(text)), &size);
            x += size.cx + margin;
        }
        SelectObject(dc, old);
        ReleaseDC(g_menuBar, dc);
        ui.Tap(POINT{x + margin, (bar.top + bar.bottom) / 2});
    } else {
        std::fprintf(stderr, "platform_gallery: no menu bar\n");
    }
    ui.RunUntilIdle();

    ui.WhenIdle([&] {
        shot("09_message_box");
        PressKey(VK_RETURN);
    });
    MessageBox(
        frame,
        L"This may incur data costs if you are updating on a phone and you're not already connected to the "
        L"internet (eg. via a wireless network).\nAre you sure you want to continue?",
        L"Orbelline", MB_YESNO | MB_ICONQUESTION);
    DestroyWindow(frame);
    ui.RunUntilIdle();
    return failures ? 1 : 0;
}

int RunOnDesktop(const Options& options) {
    ob::ui::ScreenMode mode;
    if (!ob::ui::ParseScreenMode(options.screen, mode))
        return 2;
    if (!ob::ui::StartScreen(mode, options.display)) {
        std::fprintf(stderr, "platform_gallery: no display\n");
        return 1;
    }
    ob::ui::ShowDesktopWindow({});
    InitCommonControls();
    HWND dlg = OpenPage(PlannerPage());
    MSG msg{};
    while (IsWindow(dlg) && GetMessage(&msg, nullptr, 0, 0)) {
        if (IsDialogMessage(dlg, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    ob::ui::StopScreen();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: platform_gallery --screen WxH --out DIR [--display headless|sdl] [--stay]\n");
        return 2;
    }
    // --stay keeps a page open with nothing to do, to measure an idle process.
    if (options.display == "headless" && !options.stay)
        return RunHeadless(options);
    return RunOnDesktop(options);
}
