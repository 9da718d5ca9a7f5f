// Menus as the window system keeps them. Internal.
#pragma once

#include "platform/ui/Windows.h"

#include <string>
#include <vector>

namespace ob::ui {

struct MenuItem {
    UINT flags = 0;  // MF_POPUP, MF_SEPARATOR, MF_GRAYED, MF_DISABLED, MF_CHECKED
    UINT id = 0;
    std::wstring text;
    HMENU sub = nullptr;  // for MF_POPUP
};

struct Menu {
    bool popup = true;
    std::vector<MenuItem> items;
};

Menu* FindMenu(HMENU h);
MenuItem* FindItem(HMENU h, UINT item, UINT flags, HMENU* owner, int* index);

// Tracks a popup menu: the loop runs until an item is chosen (its id) or the
// menu is dismissed (0). `anchor` is the point in screen coordinates with the
// TPM_ alignment flags; `position` is what WM_INITMENUPOPUP tells the owner.
UINT TrackMenu(HMENU menu, UINT flags, POINT anchor, HWND owner, int position = 0);

// The same for a menu opened from the keyboard: its first item starts
// highlighted, and Left or Right on the first level close it with `step` set
// to -1 or +1 so the caller can open the neighbouring menu of its bar
// (0 otherwise).
UINT TrackMenuFromKeyboard(HMENU menu, UINT flags, POINT anchor, HWND owner, int position, int& step);

// F10 or Alt alone: opens the first menu of the shell menu bar that `owner`
// has, its first item highlighted; the arrows move between the bar's menus
// and their items. False when the window has no bar with a menu.
bool OpenMenuBarFromKeyboard(HWND owner);

}  // namespace ob::ui
