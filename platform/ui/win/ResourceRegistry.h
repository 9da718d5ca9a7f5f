// The program's resources: the string table, menus, menu bars, dialog
// templates, bitmaps and custom data. The program registers them at start
// (from resources/); LoadString, LoadMenu, DialogBoxParam, LoadBitmap and
// FindResource read them by id or name.
#pragma once

#include "platform/ui/Windows.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ob::ui {

// One menu entry: a command (id), a separator, or a popup (items not empty).
struct MenuResource {
    std::wstring text;
    UINT id = 0;
    UINT flags = 0;  // MF_SEPARATOR, MF_GRAYED, MF_CHECKED
    std::vector<MenuResource> items;
};

// A shell menu bar: buttons along the bottom, each a command or a drop-down
// opening one popup of the bar's menu.
struct MenuBarButton {
    UINT command = 0;
    UINT stringId = 0;  // the button's text from the string table
    int popup = -1;     // index of the popup in the menu, -1 for a plain button
    std::wstring text;  // used when stringId is 0
};
struct MenuBarResource {
    UINT menuId = 0;
    std::vector<MenuBarButton> buttons;
};

// The program's icon, which the navigation bar shows at its left: one bitmap
// drawn for each density (magenta is transparent), registered under these ids.
constexpr UINT kProgramIconBitmap = 30010;       // for the 96-dpi screen
constexpr UINT kProgramIconBitmapLarge = 30011;  // for the 192-dpi screen
// The desktop window's icon: PNG pictures of type "APPICON", one per size.
constexpr UINT kProgramIconFirst = 30016;
constexpr UINT kProgramIconLast = 30023;

void RegisterString(UINT id, std::wstring text);
void RegisterMenu(UINT id, MenuResource menu);  // the top entry's items are the menu
void RegisterMenuBar(UINT id, MenuBarResource bar);
void RegisterDialog(UINT id, DLGTEMPLATE dialog);
// A bitmap as the bytes of a picture file (BMP, PNG or JPEG).
void RegisterBitmap(UINT id, std::vector<std::uint8_t> bytes);
// Custom data by type name ("IMAGE") and id.
void RegisterData(const std::wstring& type, UINT id, std::vector<std::uint8_t> bytes);
// Forgets everything (tests).
void ClearResources();

// Lookups for the window system.
const std::wstring* FindString(UINT id);
const MenuResource* FindMenuResource(LPCWSTR name);
const MenuBarResource* FindMenuBarResource(UINT id);
const DLGTEMPLATE* FindDialogTemplate(LPCWSTR name);
const std::vector<std::uint8_t>* FindBitmapBytes(LPCWSTR name);

}  // namespace ob::ui
