#include "platform/ui/win/ResourceRegistry.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <memory>

namespace ob::ui {
namespace {

struct Registry {
    std::map<UINT, std::wstring> strings;
    std::map<UINT, MenuResource> menus;
    std::map<UINT, MenuBarResource> menuBars;
    std::map<UINT, DLGTEMPLATE> dialogs;
    std::map<UINT, std::vector<std::uint8_t>> bitmaps;
    // Custom data by upper-case type name, then id.
    std::map<std::wstring, std::map<UINT, std::vector<std::uint8_t>>> data;
};
Registry& Reg() {
    static Registry r;
    return r;
}

std::wstring Upper(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towupper(c));
    return s;
}

// Resources are named by number here (MAKEINTRESOURCE) or by a "#123" text.
bool IdOf(LPCWSTR name, UINT& id) {
    if (!name)
        return false;
    if (IS_INTRESOURCE(name)) {
        id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name));
        return true;
    }
    if (name[0] != L'#')
        return false;
    wchar_t* end = nullptr;
    unsigned long v = std::wcstoul(name + 1, &end, 10);
    if (!end || *end || end == name + 1)
        return false;
    id = static_cast<UINT>(v);
    return true;
}

// A found resource: the bytes it stands for.
struct Found {
    const std::vector<std::uint8_t>* bytes;
};
std::vector<std::unique_ptr<Found>> g_found;

}  // namespace

void RegisterString(UINT id, std::wstring text) { Reg().strings[id] = std::move(text); }
void RegisterMenu(UINT id, MenuResource menu) { Reg().menus[id] = std::move(menu); }
void RegisterMenuBar(UINT id, MenuBarResource bar) { Reg().menuBars[id] = std::move(bar); }
void RegisterDialog(UINT id, DLGTEMPLATE dialog) { Reg().dialogs[id] = std::move(dialog); }
void RegisterBitmap(UINT id, std::vector<std::uint8_t> bytes) { Reg().bitmaps[id] = std::move(bytes); }
void RegisterData(const std::wstring& type, UINT id, std::vector<std::uint8_t> bytes) {
    Reg().data[Upper(type)][id] = std::move(bytes);
}
void ClearResources() { Reg() = Registry{}; }

const std::wstring* FindString(UINT id) {
    auto it = Reg().strings.find(id);
    return it == Reg().strings.end() ? nullptr : &it->second;
}

const MenuResource* FindMenuResource(LPCWSTR name) {
    UINT id;
    if (!IdOf(name, id))
        return nullptr;
    auto it = Reg().menus.find(id);
    return it == Reg().menus.end() ? nullptr : &it->second;
}

const MenuBarResource* FindMenuBarResource(UINT id) {
    auto it = Reg().menuBars.find(id);
    return it == Reg().menuBars.end() ? nullptr : &it->second;
}

const DLGTEMPLATE* FindDialogTemplate(LPCWSTR name) {
    UINT id;
    if (!IdOf(name, id))
        return nullptr;
    auto it = Reg().dialogs.find(id);
    return it == Reg().dialogs.end() ? nullptr : &it->second;
}

const std::vector<std::uint8_t>* FindBitmapBytes(LPCWSTR name) {
    UINT id;
    if (!IdOf(name, id))
        return nullptr;
    auto it = Reg().bitmaps.find(id);
    return it == Reg().bitmaps.end() ? nullptr : &it->second;
}

}  // namespace ob::ui

using namespace ob::ui;

int LoadString(HINSTANCE, UINT id, LPWSTR buffer, int count) {
    const std::wstring* s = FindString(id);
    if (!buffer || count <= 0)
        return 0;
    buffer[0] = 0;
    if (!s)
        return 0;
    int n = std::min<int>(count - 1, static_cast<int>(s->size()));
    std::copy_n(s->begin(), n, buffer);
    buffer[n] = 0;
    return n;
}

HRSRC FindResource(HMODULE, LPCWSTR name, LPCWSTR type) {
    UINT id;
    if (!IdOf(name, id) || !type)
        return nullptr;
    const std::vector<std::uint8_t>* bytes = nullptr;
    if (IS_INTRESOURCE(type)) {
        if (type == RT_BITMAP)
            bytes = FindBitmapBytes(name);
    } else {
        auto t = Reg().data.find(Upper(type));
        if (t != Reg().data.end()) {
            auto it = t->second.find(id);
            if (it != t->second.end())
                bytes = &it->second;
        }
    }
    if (!bytes)
        return nullptr;
    for (auto& f : g_found)
        if (f->bytes == bytes)
            return reinterpret_cast<HRSRC>(f.get());
    g_found.push_back(std::make_unique<Found>(Found{bytes}));
    return reinterpret_cast<HRSRC>(g_found.back().get());
}

static const Found* FoundOf(HRSRC r) {
    for (auto& f : g_found)
        if (reinterpret_cast<HRSRC>(f.get()) == r)
            return f.get();
    return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    const Found* f = FoundOf(resource);
    return f ? const_cast<std::uint8_t*>(f->bytes->data()) : nullptr;
}

LPVOID LockResource(HGLOBAL data) { return data; }

DWORD SizeofResource(HMODULE, HRSRC resource) {
    const Found* f = FoundOf(resource);
    return f ? static_cast<DWORD>(f->bytes->size()) : 0;
}

HMODULE GetModuleHandle(LPCWSTR) {
    // One module: the program. Any non-null value serves as its handle.
    return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x400000));
}
