// Message semantics the program relies on: creation and destruction order,
// sent before posted, nested sends, the quit message, timers on the virtual
// clock, and bad handles failing quietly.
#include "platform/ui/Windows.h"
#include "platform/ui/testing/UiDriver.h"

#include "platform/kernel/Clock.h"

#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <vector>

using ob::ui::testing::UiDriver;

namespace {

struct Log {
    std::vector<std::string> lines;
    void Add(const std::string& s) { lines.push_back(s); }
};
Log* g_log = nullptr;
std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> g_hook;

std::string Name(HWND hwnd) {
    wchar_t buf[64] = {};
    GetWindowText(hwnd, buf, 64);
    std::string s;
    for (wchar_t* p = buf; *p; ++p)
        s += static_cast<char>(*p);
    return s;
}

LRESULT CALLBACK_Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (g_hook && g_hook(hwnd, msg, wp, lp, r))
        return r;
    if (g_log) {
        switch (msg) {
        case WM_NCCREATE: g_log->Add("nccreate"); break;
        case WM_CREATE: g_log->Add("create " + Name(hwnd)); break;
        case WM_SIZE:
            g_log->Add("size " + std::to_string(LOWORD(lp)) + "x" + std::to_string(HIWORD(lp)));
            break;
        case WM_DESTROY: g_log->Add("destroy " + Name(hwnd)); break;
        case WM_NCDESTROY: g_log->Add("ncdestroy " + Name(hwnd)); break;
        case WM_TIMER: g_log->Add("timer " + std::to_string(wp)); break;
        case WM_USER: g_log->Add("user " + std::to_string(wp)); break;
        default: break;
        }
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

class WinMessages : public ::testing::Test {
protected:
    void SetUp() override {
        g_log = &log;
        WNDCLASS wc{};
        wc.lpfnWndProc = CALLBACK_Proc;
        wc.lpszClassName = L"TestWindow";
        ASSERT_NE(RegisterClass(&wc), 0);
    }
    void TearDown() override {
        g_log = nullptr;
        g_hook = nullptr;
    }
    HWND Make(const wchar_t* name, HWND parent = nullptr, int id = 0, DWORD style = WS_VISIBLE) {
        return CreateWindowEx(0, L"TestWindow", name, style | (parent ? WS_CHILD : 0), 0, 0, 100, 50, parent,
                              reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
    }
    UiDriver ui;
    Log log;
};

TEST_F(WinMessages, CreationAndDestructionOrder) {
    HWND top = Make(L"top");
    HWND child = Make(L"child", top, 5);
    ASSERT_TRUE(top && child);
    EXPECT_EQ(log.lines[0], "nccreate");
    EXPECT_EQ(log.lines[1], "create top");
    EXPECT_EQ(log.lines[2], "size 100x50");
    EXPECT_EQ(GetParent(child), top);
    EXPECT_EQ(GetDlgItem(top, 5), child);
    log.lines.clear();
    EXPECT_TRUE(DestroyWindow(top));
    // WM_DESTROY goes parent first, WM_NCDESTROY children first.
    std::vector<std::string> expected{"destroy top", "destroy child", "ncdestroy child", "ncdestroy top"};
    EXPECT_EQ(log.lines, expected);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(WinMessages, RefusedCreationAndUnknownClass) {
    EXPECT_EQ(CreateWindowEx(0, L"NoSuchClass", L"x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    g_hook = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT& r) {
        if (msg != WM_CREATE)
            return false;
        r = -1;
        return true;
    };
    EXPECT_EQ(Make(L"refused"), nullptr);
    // The refused window still heard of its destruction.
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ(log.lines.back(), "ncdestroy refused");
    // A second registration of the same class fails, as the real one does.
    WNDCLASS wc{};
    wc.lpfnWndProc = CALLBACK_Proc;
    wc.lpszClassName = L"testwindow";
    EXPECT_EQ(RegisterClass(&wc), 0);
}

TEST_F(WinMessages, SentMessagesRunBeforePostedAndNest) {
    HWND a = Make(L"a");
    HWND b = Make(L"b");
    log.lines.clear();
    int depth = 0, maxDepth = 0;
    g_hook = [&](HWND hwnd, UINT msg, WPARAM wp, LPARAM, LRESULT& r) {
        if (msg != WM_USER)
            return false;
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        log.Add(Name(hwnd) + " " + std::to_string(wp));
        if (wp == 1) {
            PostMessage(a, WM_USER, 3, 0);  // after everything already queued
            r = SendMessage(b, WM_USER, 2, 0) + 1;
        } else if (wp == 2) {
            r = SendMessage(a, WM_USER, 20, 0) + 10;  // a send back into the sender
        } else {
            r = 100;
        }
        --depth;
        return true;
    };
    PostMessage(a, WM_USER, 1, 0);
    PostMessage(b, WM_USER, 4, 0);
    ui.RunUntilIdle();
    std::vector<std::string> expected{"a 1", "b 2", "a 20", "b 4", "a 3"};
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(maxDepth, 3);
    EXPECT_EQ(SendMessage(a, WM_USER, 1, 0), 111);
}

TEST_F(WinMessages, QuitComesAfterPostedMessages) {
    HWND a = Make(L"a");
    PostMessage(a, WM_USER, 1, 0);
    PostQuitMessage(7);
    PostMessage(a, WM_USER, 2, 0);
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(WinMessages, TimersFollowTheVirtualClock) {
    HWND a = Make(L"a");
    ui.RunUntilIdle();
    log.lines.clear();
    ASSERT_EQ(SetTimer(a, 1002, 1000, nullptr), 1002u);
    ui.Advance(999);
    EXPECT_TRUE(log.lines.empty());
    ui.Advance(1);
    EXPECT_EQ(log.lines, std::vector<std::string>{"timer 1002"});
    // Missed periods are not made up: one tick, then a full period again.
    log.lines.clear();
    ob::kernel::AdvanceVirtualClock(5 * ob::kernel::kTicksPerSecond);
    ui.RunUntilIdle();
    EXPECT_EQ(log.lines.size(), 1u);
    ui.Advance(999);
    EXPECT_EQ(log.lines.size(), 1u);
    ui.Advance(1);
    EXPECT_EQ(log.lines.size(), 2u);
    // Setting it again restarts the period; killing it stops it.
    ui.Advance(500);
    SetTimer(a, 1002, 1000, nullptr);
    ui.Advance(600);
    EXPECT_EQ(log.lines.size(), 2u);
    EXPECT_TRUE(KillTimer(a, 1002));
    EXPECT_FALSE(KillTimer(a, 1002));
    ui.Advance(3000);
    EXPECT_EQ(log.lines.size(), 2u);
    // A timer procedure is called instead of the window procedure.
    static int procCalls = 0;
    SetTimer(a, 7, 50, [](HWND, UINT, UINT_PTR id, DWORD) { procCalls += static_cast<int>(id); });
    ui.Advance(100);
    EXPECT_EQ(procCalls, 14);
    EXPECT_EQ(log.lines.size(), 2u);
    // Timers die with their window.
    DestroyWindow(a);
    EXPECT_FALSE(KillTimer(a, 7));
}

TEST_F(WinMessages, DestroyingAWindowFromItsOwnHandler) {
    HWND a = Make(L"a");
    HWND child = Make(L"child", a, 1);
    g_hook = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT& r) {
        if (msg == WM_USER && hwnd == child) {
            DestroyWindow(a);  // the parent, and with it this window
            EXPECT_FALSE(IsWindow(hwnd));
            r = 5;
            return true;
        }
        return false;
    };
    EXPECT_EQ(SendMessage(child, WM_USER, 0, 0), 5);
    EXPECT_FALSE(IsWindow(a));
    // Messages still queued for it go nowhere.
    EXPECT_FALSE(PostMessage(a, WM_USER, 0, 0));
    ui.RunUntilIdle();
    // A window destroying itself while being destroyed does not recurse.
    HWND b = Make(L"b");
    int destroys = 0;
    g_hook = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_DESTROY) {
            ++destroys;
            EXPECT_FALSE(DestroyWindow(hwnd));
            EXPECT_TRUE(IsWindow(hwnd));  // alive until WM_NCDESTROY
            SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"dying"));
        }
        return false;
    };
    EXPECT_TRUE(DestroyWindow(b));
    EXPECT_EQ(destroys, 1);
}

TEST_F(WinMessages, BadHandlesFailQuietly) {
    HWND a = Make(L"a");
    DestroyWindow(a);
    HWND bogus = reinterpret_cast<HWND>(0x1234);
    for (HWND h : {a, bogus}) {
        EXPECT_FALSE(IsWindow(h));
        EXPECT_EQ(SendMessage(h, WM_USER, 0, 0), 0);
        EXPECT_FALSE(PostMessage(h, WM_USER, 0, 0));
        EXPECT_FALSE(DestroyWindow(h));
        EXPECT_FALSE(ShowWindow(h, SW_SHOW));
        EXPECT_FALSE(SetWindowText(h, L"x"));
        RECT r;
        EXPECT_FALSE(GetWindowRect(h, &r));
        EXPECT_FALSE(InvalidateRect(h, nullptr, TRUE));
        EXPECT_EQ(SetTimer(h, 1, 10, nullptr), 0u);
        EXPECT_EQ(SetFocus(h), nullptr);
        EXPECT_EQ(GetDlgItem(h, 1), nullptr);
        EXPECT_EQ(BeginPaint(h, nullptr), nullptr);
        EXPECT_EQ(CreateWindowEx(0, L"TestWindow", L"c", WS_CHILD, 0, 0, 1, 1, h, nullptr, nullptr, nullptr),
                  nullptr);
    }
    wchar_t buf[8] = L"junk";
    EXPECT_EQ(GetWindowText(bogus, buf, 8), 0);
    EXPECT_EQ(buf[0], 0);
}

TEST_F(WinMessages, TextAndLongs) {
    HWND a = Make(L"hello");
    EXPECT_EQ(GetWindowTextLength(a), 5);
    wchar_t small[3];
    EXPECT_EQ(GetWindowText(a, small, 3), 2);
    EXPECT_EQ(std::wstring(small), L"he");
    SetWindowLongPtr(a, GWLP_USERDATA, 42);
    EXPECT_EQ(GetWindowLongPtr(a, GWLP_USERDATA), 42);
    EXPECT_EQ(GetWindowLongPtr(a, 0), 0);  // no extra bytes were asked for
    // Taking a window over through its procedure slot.
    static WNDPROC previous = nullptr;
    static int seen = 0;
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtr(
        a, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == WM_USER)
                ++seen;
            return CallWindowProc(previous, h, m, w, l);
        })));
    SendMessage(a, WM_USER, 9, 0);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(log.lines.back(), "user 9");
}

}  // namespace

namespace {

TEST(WinRestart, HandlesAreNotReusedAfterARestart) {
    HWND first = nullptr;
    {
        UiDriver ui;
        WNDCLASS wc{};
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = L"Once";
        RegisterClass(&wc);
        first = CreateWindowEx(0, L"Once", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(first, nullptr);
    }
    UiDriver ui;
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = L"Once";
    EXPECT_NE(RegisterClass(&wc), 0);  // the classes went with the old system
    HWND second = CreateWindowEx(0, L"Once", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsWindow(first));
}

}  // namespace
