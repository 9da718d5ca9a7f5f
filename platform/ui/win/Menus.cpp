// Menus: the handles and their items, loading from resources, check and grey
// states, and tracking a popup at a point (with cascading sub-menus).
#include "platform/ui/win/Menus.h"

#include "platform/ui/win/GdiBridge.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "platform/ui/win/UiFonts.h"
#include "platform/ui/win/WindowSystem.h"

#include <algorithm>
#include <map>
#include <memory>

namespace ob::ui {
namespace {

std::map<HMENU, std::unique_ptr<Menu>>& Menus() {
    static std::map<HMENU, std::unique_ptr<Menu>> menus;
    return menus;
}
std::uintptr_t g_nextMenu = 0x20000;

HMENU NewMenu(bool popup) {
    HMENU h = reinterpret_cast<HMENU>(g_nextMenu);
    g_nextMenu += 4;
    auto m = std::make_unique<Menu>();
    m->popup = popup;
    Menus()[h] = std::move(m);
    return h;
}

HMENU Build(const MenuResource& r) {
    HMENU h = NewMenu(true);
    for (const MenuResource& item : r.items) {
        if (!item.items.empty()) {
            HMENU sub = Build(item);
            AppendMenu(h, MF_POPUP | (item.flags & ~MF_POPUP), reinterpret_cast<UINT_PTR>(sub),
                       item.text.c_str());
        } else if (item.flags & MF_SEPARATOR) {
            AppendMenu(h, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenu(h, MF_STRING | item.flags, item.id, item.text.c_str());
        }
    }
    return h;
}

}  // namespace

Menu* FindMenu(HMENU h) {
    auto it = Menus().find(h);
    return it == Menus().end() ? nullptr : it->second.get();
}

// The item a position or command id names; by command the search goes into
// sub-menus, as the real calls do.
MenuItem* FindItem(HMENU h, UINT item, UINT flags, HMENU* owner, int* index) {
    Menu* m = FindMenu(h);
    if (!m)
        return nullptr;
    if (flags & MF_BYPOSITION) {
        if (item >= m->items.size())
            return nullptr;
        if (owner)
            *owner = h;
        if (index)
            *index = static_cast<int>(item);
        return &m->items[item];
    }
    for (size_t i = 0; i < m->items.size(); ++i) {
        MenuItem& it = m->items[i];
        if (!(it.flags & MF_POPUP) && !(it.flags & MF_SEPARATOR) && it.id == item) {
            if (owner)
                *owner = h;
            if (index)
                *index = static_cast<int>(i);
            return &it;
        }
        if (it.flags & MF_POPUP)
            if (MenuItem* inner = FindItem(it.sub, item, flags, owner, index))
                return inner;
    }
    return nullptr;
}

}  // namespace ob::ui

using namespace ob::ui;

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }
BOOL IsMenu(HMENU menu) { return FindMenu(menu) != nullptr; }

HMENU LoadMenu(HINSTANCE, LPCWSTR name) {
    const MenuResource* r = FindMenuResource(name);
    if (!r)
        return nullptr;
    HMENU h = Build(*r);
    FindMenu(h)->popup = false;
    return h;
}

BOOL DestroyMenu(HMENU menu) {
    Menu* m = FindMenu(menu);
    if (!m)
        return FALSE;
    std::vector<HMENU> subs;
    for (MenuItem& it : m->items)
        if (it.flags & MF_POPUP)
            subs.push_back(it.sub);
    Menus().erase(menu);
    for (HMENU s : subs)
        DestroyMenu(s);
    return TRUE;
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
    Menu* m = FindMenu(menu);
    if (!m)
        return FALSE;
    MenuItem item;
    item.flags = flags & ~MF_BYPOSITION;
    if (flags & MF_POPUP) {
        item.sub = reinterpret_cast<HMENU>(idOrPopup);
        if (!FindMenu(item.sub))
            return FALSE;
    } else {
        item.id = static_cast<UINT>(idOrPopup);
    }
    if (text && !(flags & MF_SEPARATOR))
        item.text = text;
    size_t at = m->items.size();
    if (flags & MF_BYPOSITION) {
        at = std::min<size_t>(position, m->items.size());
    } else if (position != static_cast<UINT>(-1)) {
        auto it = std::find_if(m->items.begin(), m->items.end(),
                               [&](const MenuItem& i) { return i.id == position; });
        if (it != m->items.end())
            at = static_cast<size_t>(it - m->items.begin());
    }
    m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(at), item);
    return TRUE;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
    Menu* m = FindMenu(menu);
    if (!m)
        return FALSE;
    return InsertMenu(menu, static_cast<UINT>(m->items.size()), flags | MF_BYPOSITION, idOrPopup, text);
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    HMENU owner = nullptr;
    int index = -1;
    if (!FindItem(menu, position, flags, &owner, &index))
        return FALSE;
    Menu* m = FindMenu(owner);
    m->items.erase(m->items.begin() + index);
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    HMENU owner = nullptr;
    int index = -1;
    MenuItem* it = FindItem(menu, position, flags, &owner, &index);
    if (!it)
        return FALSE;
    HMENU sub = (it->flags & MF_POPUP) ? it->sub : nullptr;
    Menu* m = FindMenu(owner);
    m->items.erase(m->items.begin() + index);
    if (sub)
        DestroyMenu(sub);
    return TRUE;
}

HMENU GetSubMenu(HMENU menu, int position) {
    Menu* m = FindMenu(menu);
    if (!m || position < 0 || static_cast<size_t>(position) >= m->items.size())
        return nullptr;
    const MenuItem& it = m->items[static_cast<size_t>(position)];
    return (it.flags & MF_POPUP) ? it.sub : nullptr;
}

int GetMenuItemCount(HMENU menu) {
    Menu* m = FindMenu(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    Menu* m = FindMenu(menu);
    if (!m || position < 0 || static_cast<size_t>(position) >= m->items.size())
        return static_cast<UINT>(-1);
    const MenuItem& it = m->items[static_cast<size_t>(position)];
    if (it.flags & MF_POPUP)
        return static_cast<UINT>(-1);
    return (it.flags & MF_SEPARATOR) ? 0 : it.id;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    MenuItem* it = FindItem(menu, item, flags, nullptr, nullptr);
    if (!it)
        return static_cast<UINT>(-1);
    UINT state = it->flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR);
    if (it->flags & MF_POPUP)
        state |= static_cast<UINT>(GetMenuItemCount(it->sub)) << 8;
    return state;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
    MenuItem* it = FindItem(menu, item, check, nullptr, nullptr);
    if (!it)
        return static_cast<DWORD>(-1);
    DWORD old = it->flags & MF_CHECKED;
    it->flags = (it->flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return old;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    MenuItem* it = FindItem(menu, item, enable, nullptr, nullptr);
    if (!it)
        return -1;
    BOOL old = static_cast<BOOL>(it->flags & (MF_GRAYED | MF_DISABLED));
    it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return old;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
    Menu* m = FindMenu(menu);
    if (!m)
        return FALSE;
    bool found = false;
    for (size_t i = 0; i < m->items.size(); ++i) {
        MenuItem& it = m->items[i];
        UINT key = (flags & MF_BYPOSITION) ? static_cast<UINT>(i) : it.id;
        if (key < first || key > last || (it.flags & (MF_POPUP | MF_SEPARATOR)))
            continue;
        bool on = key == check;
        found = found || on;
        it.flags = (it.flags & ~MF_CHECKED) | (on ? MF_CHECKED : 0);
    }
    return found;
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info) {
    MenuItem* it = FindItem(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, nullptr, nullptr);
    if (!it || !info)
        return FALSE;
    if (info->fMask & MIIM_STATE)
        info->fState = it->flags & (MFS_GRAYED | MFS_CHECKED);
    if (info->fMask & MIIM_ID)
        info->wID = it->id;
    if (info->fMask & MIIM_SUBMENU)
        info->hSubMenu = (it->flags & MF_POPUP) ? it->sub : nullptr;
    if (info->fMask & MIIM_TYPE) {
        info->fType = it->flags & MF_SEPARATOR;
        if (info->dwTypeData && info->cch > 0) {
            size_t n = std::min<size_t>(info->cch - 1, it->text.size());
            std::copy_n(it->text.begin(), n, info->dwTypeData);
            info->dwTypeData[n] = 0;
        }
        info->cch = static_cast<UINT>(it->text.size());
    }
    return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
    MenuItem* it = FindItem(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, nullptr, nullptr);
    if (!it || !info)
        return FALSE;
    if (info->fMask & MIIM_STATE)
        it->flags = (it->flags & ~(MFS_GRAYED | MFS_CHECKED)) | (info->fState & (MFS_GRAYED | MFS_CHECKED));
    if (info->fMask & MIIM_ID)
        it->id = info->wID;
    if (info->fMask & MIIM_TYPE) {
        it->flags = (it->flags & ~MF_SEPARATOR) | (info->fType & MF_SEPARATOR);
        if (info->dwTypeData)
            it->text = info->dwTypeData;
    }
    return TRUE;
}
