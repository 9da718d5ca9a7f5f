#include "ControlsFixture.h"

namespace controls_test {

namespace {
ControlsTest* g_current = nullptr;
}  // namespace

static LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ControlsTest* t = g_current;
    if (!t)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_COMMAND: t->heard.push_back({msg, LOWORD(wParam), HIWORD(wParam), 0}); return 0;
    case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMHDR*>(lParam);
        int value = 0;
        if (nm->code == DTN_DATETIMECHANGE)
            t->lastDate = *reinterpret_cast<NMDATETIMECHANGE*>(lParam);
        if (nm->code == LVN_ITEMCHANGED || nm->code == LVN_ITEMCHANGING || nm->code == LVN_DELETEITEM) {
            auto* lv = reinterpret_cast<NMLISTVIEW*>(lParam);
            if (nm->code == LVN_ITEMCHANGED)
                t->lastItem = *lv;
            value = lv->iItem;
        }
        if (nm->code == LVN_KEYDOWN)
            value = reinterpret_cast<NMLVKEYDOWN*>(lParam)->wVKey;
        t->heard.push_back({msg, static_cast<int>(nm->idFrom), static_cast<int>(nm->code), value});
        return nm->code == LVN_ITEMCHANGING ? t->refuseChanging : 0;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        t->heard.push_back({msg, lParam ? GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) : 0, LOWORD(wParam),
                            static_cast<short>(HIWORD(wParam))});
        return 0;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        t->drawStates.push_back(dis->itemState);
        FillRect(dis->hDC, &dis->rcItem,
                 GetSysColorBrush(dis->itemState & ODS_SELECTED ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        return TRUE;
    }
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

void ControlsTest::SetUp() {
    g_current = this;
    InitCommonControls();
    WNDCLASS wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = L"ControlsTestParent";
    RegisterClass(&wc);
    parent = CreateWindowEx(0, L"ControlsTestParent", L"Controls", WS_VISIBLE, 0, 26, 240, 268, nullptr,
                            nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    ui.RunUntilIdle();
}

void ControlsTest::TearDown() {
    if (IsWindow(parent))
        DestroyWindow(parent);
    ui.RunUntilIdle();
    g_current = nullptr;
}

HWND ControlsTest::Make(LPCWSTR cls, DWORD style, int x, int y, int w, int h, int id, LPCWSTR text) {
    HWND hwnd = CreateWindowEx(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
    ui.RunUntilIdle();
    return hwnd;
}

std::vector<int> ControlsTest::Codes(UINT message) const {
    std::vector<int> codes;
    for (const Heard& h : heard)
        if (h.message == message)
            codes.push_back(h.code);
    return codes;
}

POINT ControlsTest::ScreenPoint(HWND hwnd, int x, int y) const {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

}  // namespace controls_test
