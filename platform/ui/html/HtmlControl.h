// The HTML viewer control: window class "DISPLAYCLASS", filled with the
// viewer's messages (clear, add text, end of source) or WM_SETTEXT, laid out
// to the window's width and scrolled vertically by stylus, keys and
// WM_VSCROLL. Pictures come from local files only.
#pragma once

#include <string>

#include "platform/ui/Windows.h"

inline constexpr const wchar_t* WC_HTML = L"DISPLAYCLASS";
inline constexpr const wchar_t* DISPLAYCLASS = L"DISPLAYCLASS";

constexpr UINT DTM_ADDTEXT = WM_USER + 101;   // wParam: plain text?  lParam: UTF-8 text
constexpr UINT DTM_ADDTEXTW = WM_USER + 102;  // wParam: plain text?  lParam: wide text
constexpr UINT DTM_SETIMAGE = WM_USER + 103;
constexpr UINT DTM_ENDOFSOURCE = WM_USER + 104;
constexpr UINT DTM_ANCHOR = WM_USER + 105;
constexpr UINT DTM_ANCHORW = WM_USER + 106;
constexpr UINT DTM_ENABLESHRINK = WM_USER + 107;
constexpr UINT DTM_SCROLLINTOVIEW = WM_USER + 108;
constexpr UINT DTM_IMAGEFAIL = WM_USER + 109;
constexpr UINT DTM_ENABLECLEARTYPE = WM_USER + 110;
constexpr UINT DTM_SELECTALL = WM_USER + 111;
constexpr UINT DTM_ISSELECTION = WM_USER + 112;
constexpr UINT DTM_CLEAR = WM_USER + 113;
constexpr UINT DTM_ENABLECONTEXTMENU = WM_USER + 114;

// Registers the control's window class; TRUE when it is (or already was).
BOOL InitHTMLControl(HINSTANCE instance);

namespace ob::ui {

// Folder that relative picture addresses of the control's pages start from
// (the executable's folder until set).
void SetHtmlBaseFolder(HWND control, const std::wstring& folder);
// The current scroll offset and the laid-out page height, for tests.
int GetHtmlScroll(HWND control);
int GetHtmlContentHeight(HWND control);

}  // namespace ob::ui
