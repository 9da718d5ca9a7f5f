// Keyboard accelerators: tables of keys that stand for commands, and their
// translation in the message loop.
#include "platform/ui/Windows.h"

#include <cstdint>
#include <map>
#include <vector>

namespace {

std::map<HACCEL, std::vector<ACCEL>>& Tables() {
    static std::map<HACCEL, std::vector<ACCEL>> tables;
    return tables;
}
std::uintptr_t g_nextTable = 0x30000;

bool Held(UINT vk) { return (GetKeyState(static_cast<int>(vk)) & 0x8000) != 0; }

}  // namespace

HACCEL CreateAcceleratorTable(const ACCEL* entries, int count) {
    if (!entries || count <= 0)
        return nullptr;
    HACCEL table = reinterpret_cast<HACCEL>(g_nextTable);
    g_nextTable += 4;  // never handed out twice
    Tables()[table] = std::vector<ACCEL>(entries, entries + count);
    return table;
}

BOOL DestroyAcceleratorTable(HACCEL table) { return Tables().erase(table) ? TRUE : FALSE; }

int TranslateAccelerator(HWND hwnd, HACCEL table, MSG* msg) {
    if (!msg || !IsWindow(hwnd) || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return 0;
    auto found = Tables().find(table);
    if (found == Tables().end())
        return 0;
    const BYTE held = static_cast<BYTE>((Held(VK_SHIFT) ? FSHIFT : 0) | (Held(VK_CONTROL) ? FCONTROL : 0) |
                                        (Held(VK_MENU) ? FALT : 0));
    for (const ACCEL& a : found->second) {
        if (!(a.fVirt & FVIRTKEY) || a.key != msg->wParam)
            continue;
        if ((a.fVirt & (FSHIFT | FCONTROL | FALT)) != held)
            continue;
        if (!IsWindowEnabled(hwnd))
            return 0;
        SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
        return 1;
    }
    return 0;
}
