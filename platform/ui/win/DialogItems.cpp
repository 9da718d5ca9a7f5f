// Child windows by control id, and the calls that reach them.
#include "platform/ui/win/WindowSystem.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>

using namespace ob::ui;

HWND GetDlgItem(HWND dialog, int id) {
    Window* w = FromHandle(dialog);
    if (!w)
        return nullptr;
    for (Window* c : w->children)
        if ((c->style & WS_CHILD) && static_cast<int>(c->id) == id)
            return c->handle;
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    Window* w = FromHandle(hwnd);
    return w && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessage(item, message, wParam, lParam) : 0;
}

BOOL SetDlgItemText(HWND dialog, int id, LPCWSTR text) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowText(item, text) : FALSE;
}

UINT GetDlgItemText(HWND dialog, int id, LPWSTR buffer, int count) {
    if (buffer && count > 0)
        buffer[0] = 0;
    HWND item = GetDlgItem(dialog, id);
    return item ? static_cast<UINT>(GetWindowText(item, buffer, count)) : 0;
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    wchar_t buf[32];
    if (isSigned)
        std::swprintf(buf, 32, L"%d", static_cast<int>(value));
    else
        std::swprintf(buf, 32, L"%u", value);
    return SetDlgItemText(dialog, id, buf);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated)
        *translated = FALSE;
    wchar_t buf[64];
    if (!GetDlgItem(dialog, id))
        return 0;
    GetDlgItemText(dialog, id, buf, 64);
    wchar_t* end = nullptr;
    const wchar_t* p = buf;
    while (*p == L' ')
        ++p;
    if (!*p)
        return 0;
    errno = 0;
    long long v = isSigned ? std::wcstoll(p, &end, 10) : static_cast<long long>(std::wcstoull(p, &end, 10));
    while (end && *end == L' ')
        ++end;
    if (!end || *end || errno)
        return 0;
    if (isSigned ? (v < INT32_MIN || v > INT32_MAX) : (v < 0 || v > UINT32_MAX))
        return 0;
    if (translated)
        *translated = TRUE;
    return static_cast<UINT>(v);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        return FALSE;
    SendMessage(item, 0x00F1 /* BM_SETCHECK */, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessage(dialog, id, 0x00F0 /* BM_GETCHECK */, 0, 0));
}
