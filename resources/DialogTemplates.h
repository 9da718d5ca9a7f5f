// Building blocks of the program's dialog templates, used by every file that
// registers them.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "resources/ResourceIds.h"

namespace OBResources {

// One control of a template, shown; position and size in dialog units.
inline DLGITEMTEMPLATE DialogItem(const wchar_t* className, const wchar_t* text, WORD id, DWORD style,
                                  short x, short y, short cx, short cy) {
    DLGITEMTEMPLATE item;
    item.className = className;
    item.text = text;
    item.id = id;
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    return item;
}

// A label no code asks for.
inline DLGITEMTEMPLATE Label(const wchar_t* text, short x, short y, short cx, short cy) {
    return DialogItem(WC_STATIC, text, kNoId, SS_LEFT, x, y, cx, cy);
}

// A push button the Tab key reaches.
inline DLGITEMTEMPLATE Button(const wchar_t* text, WORD id, short x, short y, short cx, short cy) {
    return DialogItem(WC_BUTTON, text, id, BS_PUSHBUTTON | WS_TABSTOP, x, y, cx, cy);
}

// A check box that checks itself when tapped; `extra` adds styles (BS_MULTILINE).
inline DLGITEMTEMPLATE CheckBox(const wchar_t* text, WORD id, short x, short y, short cx, short cy,
                                DWORD extra = 0) {
    return DialogItem(WC_BUTTON, text, id, BS_AUTOCHECKBOX | WS_TABSTOP | extra, x, y, cx, cy);
}

// A drop-down list of fixed entries; cy is the height opened.
inline DLGITEMTEMPLATE DropDown(WORD id, short x, short y, short cx, short cy) {
    return DialogItem(WC_COMBOBOX, L"", id, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, x, y, cx, cy);
}

// A full-screen page of 136 x 156 dialog units; the shell sizes it to the screen.
inline DLGTEMPLATE FullScreenPage(const wchar_t* title = nullptr) {
    DLGTEMPLATE page;
    page.style = WS_POPUP | WS_VISIBLE | DS_SETFONT;
    page.cx = 136;
    page.cy = 156;
    if (title)
        page.title = title;
    return page;
}

}  // namespace OBResources
