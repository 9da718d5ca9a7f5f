// Building blocks of the program's dialog templates, shared by the files
// that register them.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/win/ResourceRegistry.h"

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
