// The device shell's calls (the navigation bar, the menu bar, full-screen
// dialogs, tap-and-hold, the input panel), shaped like the Pocket PC shell
// API: the same names, structures, flags and numbers.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Windows.h"

// Full-screen dialog initialisation.
constexpr DWORD SHIDIM_FLAGS = 0x0001;
constexpr DWORD SHIDIF_DONEBUTTON = 0x0001;
constexpr DWORD SHIDIF_SIZEDLG = 0x0002;
constexpr DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x0004;
constexpr DWORD SHIDIF_SIPDOWN = 0x0008;
constexpr DWORD SHIDIF_FULLSCREENNOMENUBAR = 0x0010;
constexpr DWORD SHIDIF_EMPTYMENU = 0x0020;
struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};
BOOL SHInitDialog(SHINITDLGINFO* info);
BOOL SHDoneButton(HWND hwnd, DWORD state);
constexpr DWORD SHDB_SHOW = 0x0001;
constexpr DWORD SHDB_HIDE = 0x0002;

// The menu bar at the bottom of the screen.
constexpr DWORD SHCMBF_EMPTYBAR = 0x0001;
constexpr DWORD SHCMBF_HIDDEN = 0x0002;
constexpr DWORD SHCMBF_HIDESIPBUTTON = 0x0004;
constexpr DWORD SHCMBF_COLORBK = 0x0008;
constexpr DWORD SHCMBF_HMENU = 0x0010;
struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
};
BOOL SHCreateMenuBar(SHMENUBARINFO* info);
// Asks the menu bar for its menu (wParam 0, lParam the button's command id).
constexpr UINT SHCMBM_GETSUBMENU = WM_USER + 401;
constexpr UINT SHCMBM_GETMENU = WM_USER + 403;

// Tap-and-hold.
constexpr DWORD SHRG_RETURNCMD = 0x0001;
constexpr DWORD SHRG_NOTIFYPARENT = 0x0002;
constexpr DWORD SHRG_LONGDELAY = 0x0008;
constexpr DWORD SHRG_NOANIMATION = 0x0010;
constexpr DWORD GN_CONTEXTMENU = 1000;
constexpr UINT NM_RECOGNIZEGESTURE = 1000;
struct SHRGINFO {
    DWORD cbSize;
    HWND hwndClient;
    POINT ptDown;
    DWORD dwFlags;
};
// The notification sent to the parent: the point is in screen coordinates.
struct NMRGINFO {
    NMHDR hdr;
    POINT ptAction;
    DWORD dwItemSpec;
};
DWORD SHRecognizeGesture(SHRGINFO* info);

// The input panel: there is none; the calls succeed and change nothing.
struct SHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};
constexpr UINT SIPF_OFF = 0x0000;
constexpr UINT SIPF_ON = 0x0001;
enum SIPSTATE { SIP_UP = 0, SIP_DOWN, SIP_FORCEDOWN, SIP_UNCHANGED, SIP_INPUTDIALOG };
BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags);
BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);
BOOL SHSipPreference(HWND hwnd, SIPSTATE state);
BOOL SipShowIM(DWORD flags);
BOOL SHFullScreen(HWND hwnd, DWORD state);
