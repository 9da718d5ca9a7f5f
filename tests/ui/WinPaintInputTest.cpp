// Painting and input: update regions, erase, parents before children,
// exposure when windows move or hide, pixels on the screen; hit-testing,
// focus and activation messages, capture.
#include "platform/ui/Windows.h"
#include "platform/ui/testing/UiDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

using ob::ui::testing::UiDriver;

namespace {

struct Painted {
    HWND hwnd;
    RECT rc;
    BOOL erase;
};
std::vector<Painted>* g_paints = nullptr;
std::vector<std::string>* g_events = nullptr;
std::function<bool(HWND, UINT, WPARAM, LPARAM)> g_extra;

std::string Text(HWND h) {
    wchar_t b[32] = {};
    GetWindowText(h, b, 32);
    std::string s;
    for (wchar_t* p = b; *p; ++p)
        s += static_cast<char>(*p);
    return s;
}

LRESULT Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_extra && g_extra(hwnd, msg, wp, lp))
        return 0;
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (g_paints)
            g_paints->push_back({hwnd, ps.rcPaint, ps.fErase});
        // Fill with the colour kept in the user data, so pixels can be checked.
        HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtr(hwnd, GWLP_USERDATA)));
        FillRect(dc, &ps.rcPaint, b);
        DeleteObject(b);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
        if (g_events)
            g_events->push_back(Text(hwnd) +
                                (msg == WM_LBUTTONDOWN ? " down "
                                 : msg == WM_LBUTTONUP ? " up "
                                                       : " move ") +
                                std::to_string(GET_X_LPARAM(lp)) + "," + std::to_string(GET_Y_LPARAM(lp)));
        return 0;
    case WM_SETFOCUS:
        if (g_events)
            g_events->push_back("setfocus " + Text(hwnd) + " from " + Text(reinterpret_cast<HWND>(wp)));
        return 0;
    case WM_KILLFOCUS:
        if (g_events)
            g_events->push_back("killfocus " + Text(hwnd) + " to " + Text(reinterpret_cast<HWND>(wp)));
        return 0;
    case WM_ACTIVATE:
        if (g_events)
            g_events->push_back("activate " + Text(hwnd) + " " + std::to_string(LOWORD(wp)));
        return DefWindowProc(hwnd, msg, wp, lp);
    case WM_CAPTURECHANGED:
        if (g_events)
            g_events->push_back("capturechanged " + Text(hwnd));
        return 0;
    case WM_KEYDOWN:
    case WM_CHAR:
        if (g_events)
            g_events->push_back(Text(hwnd) + (msg == WM_KEYDOWN ? " key " : " char ") + std::to_string(wp));
        return 0;
    default: return DefWindowProc(hwnd, msg, wp, lp);
    }
}

class WinPaintInput : public ::testing::Test {
protected:
    void SetUp() override {
        g_paints = &paints;
        g_events = &events;
        WNDCLASS wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = L"Painter";
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        ASSERT_NE(RegisterClass(&wc), 0);
    }
    void TearDown() override {
        g_paints = nullptr;
        g_events = nullptr;
        g_extra = nullptr;
    }
    HWND Make(const wchar_t* name, RECT r, COLORREF colour, HWND parent = nullptr, int id = 0,
              DWORD style = WS_VISIBLE) {
        HWND h = CreateWindowEx(0, L"Painter", name, style | (parent ? WS_CHILD : WS_POPUP), r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent,
                                reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
        SetWindowLongPtr(h, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
        return h;
    }
    int PaintsOf(HWND h) const {
        int n = 0;
        for (const auto& p : paints)
            n += p.hwnd == h;
        return n;
    }
    UiDriver ui;
    std::vector<Painted> paints;
    std::vector<std::string> events;
};

TEST_F(WinPaintInput, InvalidRectanglesMergeIntoOnePaint) {
    HWND w = Make(L"w", {0, 40, 200, 200}, RGB(255, 0, 0));
    ui.RunUntilIdle();
    EXPECT_EQ(PaintsOf(w), 1);
    EXPECT_EQ(ui.Pixel(100, 100), RGB(255, 0, 0));
    paints.clear();
    RECT a{10, 10, 20, 20}, b{50, 60, 70, 80};
    InvalidateRect(w, &a, FALSE);
    InvalidateRect(w, &b, TRUE);
    RECT upd;
    EXPECT_TRUE(GetUpdateRect(w, &upd, FALSE));
    EXPECT_EQ(upd.left, 10);
    EXPECT_EQ(upd.bottom, 80);
    ui.RunUntilIdle();
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(paints[0].rc.left, 10);
    EXPECT_EQ(paints[0].rc.top, 10);
    EXPECT_EQ(paints[0].rc.right, 70);
    EXPECT_EQ(paints[0].rc.bottom, 80);
    EXPECT_FALSE(paints[0].erase);  // the class brush erased it
    EXPECT_FALSE(GetUpdateRect(w, &upd, FALSE));
    // Validating before the paint leaves nothing to do; invalidating outside
    // the client area does nothing either.
    InvalidateRect(w, nullptr, FALSE);
    ValidateRect(w, nullptr);
    RECT outside{300, 300, 400, 400};
    InvalidateRect(w, &outside, FALSE);
    paints.clear();
    ui.RunUntilIdle();
    EXPECT_TRUE(paints.empty());
}

TEST_F(WinPaintInput, AHandlerOutOfMemoryFailsThatMessageOnlyAndItsAreaStaysPlain) {
    HWND starved = Make(L"s", {0, 40, 100, 100}, RGB(255, 0, 0));
    Make(L"o", {100, 40, 200, 100}, RGB(0, 0, 255));
    int throws = 0;
    g_extra = [&](HWND h, UINT msg, WPARAM, LPARAM) {
        if (h == starved && (msg == WM_PAINT || msg == WM_USER)) {
            ++throws;
            throw std::bad_alloc();
        }
        return false;
    };
    ui.RunUntilIdle();
    EXPECT_EQ(throws, 1) << "a failed paint is not asked for again and again";
    EXPECT_NE(ui.Pixel(50, 70), RGB(255, 0, 0));
    EXPECT_EQ(ui.Pixel(150, 70), RGB(0, 0, 255));
    EXPECT_EQ(SendMessage(starved, WM_USER, 0, 0), 0);
    g_extra = nullptr;
    InvalidateRect(starved, nullptr, FALSE);
    ui.RunUntilIdle();
    EXPECT_EQ(ui.Pixel(50, 70), RGB(255, 0, 0)) << "the next paint works";
}

TEST_F(WinPaintInput, ParentsPaintBeforeChildrenAndNeverOverThem) {
    HWND parent = Make(L"p", {0, 40, 200, 240}, RGB(0, 0, 255));
    HWND child = Make(L"c", {20, 20, 80, 80}, RGB(0, 255, 0), parent, 1);
    ui.RunUntilIdle();
    ASSERT_GE(paints.size(), 2u);
    EXPECT_EQ(paints[0].hwnd, parent);
    EXPECT_EQ(paints[1].hwnd, child);
    EXPECT_EQ(ui.Pixel(50, 90), RGB(0, 255, 0));    // the child
    EXPECT_EQ(ui.Pixel(150, 150), RGB(0, 0, 255));  // the parent around it
    // Repainting the parent leaves the child's pixels alone and does not repaint it.
    paints.clear();
    SetWindowLongPtr(parent, GWLP_USERDATA, RGB(255, 255, 0));
    InvalidateRect(parent, nullptr, TRUE);
    ui.RunUntilIdle();
    EXPECT_EQ(PaintsOf(child), 0);
    EXPECT_EQ(ui.Pixel(50, 90), RGB(0, 255, 0));
    EXPECT_EQ(ui.Pixel(150, 150), RGB(255, 255, 0));
    // RedrawWindow with RDW_ALLCHILDREN reaches the child too, at once with UPDATENOW.
    paints.clear();
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(PaintsOf(parent), 1);
    EXPECT_EQ(PaintsOf(child), 1);
}

TEST_F(WinPaintInput, HidingOrMovingExposesWhatWasBelow) {
    HWND below = Make(L"below", {0, 40, 240, 300}, RGB(0, 0, 255));
    HWND above = Make(L"above", {50, 100, 150, 200}, RGB(255, 0, 0));
    ui.RunUntilIdle();
    EXPECT_EQ(ui.Pixel(100, 150), RGB(255, 0, 0));
    paints.clear();
    ShowWindow(above, SW_HIDE);
    ui.RunUntilIdle();
    ASSERT_EQ(PaintsOf(below), 1);
    for (const auto& p : paints)
        if (p.hwnd == below) {  // only the uncovered part, in client coordinates
            EXPECT_EQ(p.rc.left, 50);
            EXPECT_EQ(p.rc.top, 60);
            EXPECT_EQ(p.rc.right, 150);
            EXPECT_EQ(p.rc.bottom, 160);
        }
    EXPECT_EQ(ui.Pixel(100, 150), RGB(0, 0, 255));
    // Shown without activation it stays behind the window activated meanwhile.
    ShowWindow(above, SW_SHOWNA);
    ui.RunUntilIdle();
    EXPECT_EQ(ui.Pixel(100, 150), RGB(0, 0, 255));
    ShowWindow(above, SW_SHOW);
    MoveWindow(above, 100, 100, 100, 100, TRUE);
    ui.RunUntilIdle();
    EXPECT_EQ(ui.Pixel(60, 150), RGB(0, 0, 255));
    EXPECT_EQ(ui.Pixel(150, 150), RGB(255, 0, 0));
    // No redraw while WM_SETREDRAW is off; the update waits for it.
    paints.clear();
    SendMessage(below, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(below, nullptr, TRUE);
    ui.RunUntilIdle();
    EXPECT_EQ(PaintsOf(below), 0);
    SendMessage(below, WM_SETREDRAW, TRUE, 0);
    ui.RunUntilIdle();
    EXPECT_EQ(PaintsOf(below), 1);
}

TEST_F(WinPaintInput, PenGoesToTheWindowUnderItOrTheCapture) {
    HWND top = Make(L"top", {0, 40, 240, 300}, RGB(255, 255, 255));
    HWND child = Make(L"child", {10, 10, 110, 60}, RGB(200, 200, 200), top, 1);
    HWND off = Make(L"off", {10, 100, 110, 150}, RGB(200, 200, 200), top, 2);
    ui.RunUntilIdle();
    events.clear();
    ui.Tap(POINT{20, 60});  // inside the child, at (10,10) of its client area
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2], "child down 10,10");
    EXPECT_EQ(events.back(), "child up 10,10");
    // A disabled child lets the pen through to its parent.
    EnableWindow(off, FALSE);
    events.clear();
    ui.Tap(POINT{20, 150});
    EXPECT_EQ(events.back(), "top up 20,110");
    // Capture: the pen stays with the capturing window wherever it goes.
    g_extra = [&](HWND h, UINT m, WPARAM, LPARAM) {
        if (h == child && m == WM_LBUTTONDOWN)
            SetCapture(child);
        if (h == child && m == WM_LBUTTONUP)
            ReleaseCapture();
        return false;
    };
    events.clear();
    ui.Drag(POINT{20, 60}, POINT{200, 250}, 2);
    std::vector<std::string> expected{"child down 10,10", "child move 100,105", "child move 190,200",
                                      "capturechanged child", "child up 190,200"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(GetCapture(), nullptr);
    // A disabled top-level window takes no pen at all.
    EnableWindow(top, FALSE);
    events.clear();
    ui.Tap(POINT{150, 250});
    EXPECT_TRUE(events.empty());
}

TEST_F(WinPaintInput, FocusAndActivationMessages) {
    HWND a = Make(L"a", {0, 40, 240, 300}, RGB(255, 255, 255));
    HWND a1 = Make(L"a1", {0, 0, 50, 20}, 0, a, 1);
    HWND a2 = Make(L"a2", {0, 30, 50, 50}, 0, a, 2);
    ui.RunUntilIdle();
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);  // the default activation gives the window the focus
    events.clear();
    EXPECT_EQ(SetFocus(a1), a);
    EXPECT_EQ(SetFocus(a2), a1);
    std::vector<std::string> expected{"killfocus a to a1", "setfocus a1 from a", "killfocus a1 to a2",
                                      "setfocus a2 from a1"};
    EXPECT_EQ(events, expected);
    // Keys go to the focus; TranslateMessage adds the character.
    events.clear();
    ui.Key('Q');
    EXPECT_EQ(events, (std::vector<std::string>{"a2 key 81", "a2 char 113"}));
    // A second window takes the activation; when it goes, the first one is
    // active again and (by default processing) has the focus itself.
    HWND b = Make(L"b", {0, 40, 240, 300}, RGB(255, 255, 255));
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetFocus(), b);
    events.clear();
    DestroyWindow(b);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    EXPECT_EQ(events, (std::vector<std::string>{"killfocus b to ", "activate a 1", "setfocus a from "}));
    // Disabling the focused window takes the focus away.
    SetFocus(a2);
    EnableWindow(a2, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
    // Destroying a focused child moves the focus to its parent.
    SetFocus(a1);
    DestroyWindow(a1);
    EXPECT_EQ(GetFocus(), a);
}

}  // namespace
