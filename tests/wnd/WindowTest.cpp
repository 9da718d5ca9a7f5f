#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/kernel/NamedEvent.h"
#include "platform/ui/testing/UiDriver.h"
#include "platform/ui/win/WindowSystem.h"
#include "wnd/App.h"
#include "wnd/FrameWindow.h"
#include "wnd/Library.h"
#include "wnd/Window.h"

using namespace ZEP_Wnd;
using ob::ui::testing::UiDriver;

namespace {

// Records the messages its OnMessage sees and can refuse its creation.
class Probe : public Window {
public:
    explicit Probe(std::vector<std::string>* log = nullptr, const char* name = "probe")
        : m_log(log), m_name(name) {
        RegisterWindowClass(L"Test_Probe", nullptr, nullptr, nullptr);
    }
    bool CreateAs(HWND parent, const RECT& rc, int id = 0) {
        return Window::Create(L"Test_Probe", L"", (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE, 0, rc, parent,
                              static_cast<UINT_PTR>(id));
    }
    bool OnCreate(CREATESTRUCT*) override {
        Log("create");
        return m_acceptCreate;
    }
    void OnDestroy() override {
        Log("destroy");
        Window::OnDestroy();
    }
    bool OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
        if (message == WM_NOTIFY || message == WM_NOTIFY + kReflectedMessageBase) {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
            Log((message == WM_NOTIFY ? "notify " : "reflected ") +
                std::to_string(static_cast<int>(hdr->code)));
            result = 7;
            return m_answerNotifications;
        }
        return false;
    }
    bool UpdateCommandState(UINT id, bool& enabled, bool& checked) override {
        if (id == 100) {
            enabled = false;
            checked = true;
            return true;
        }
        if (id == 200) {
            enabled = true;
            checked = false;
            return true;
        }
        return false;
    }
    void Log(const std::string& what) {
        if (m_log)
            m_log->push_back(m_name + ":" + what);
    }
    bool m_acceptCreate = true;
    bool m_answerNotifications = true;

private:
    std::vector<std::string>* m_log;
    std::string m_name;
};

// Takes taps and sizes through the typed handlers, and turns down taps on its
// left half so that they reach the default processing.
class Tapped : public Window {
public:
    Tapped() { RegisterWindowClass(L"Test_Tapped", nullptr, nullptr, nullptr); }
    bool OnLButtonDown(POINT at, UINT flags) override {
        taps.push_back(at);
        lastFlags = flags;
        return at.x >= 50;
    }
    bool OnSize(SIZE client) override {
        size = client;
        return true;
    }
    bool OnEraseBackground(HDC) override { return true; }
    bool OnActivate(const ActivateParams& activate) override {
        activation = activate;
        return true;
    }
    // Presses on the client area do not activate; the rest are left to the default.
    int OnMouseActivate(HWND, UINT hitTest, UINT) override {
        return hitTest == static_cast<UINT>(HTCLIENT) ? MA_NOACTIVATE : 0;
    }
    bool OnSettingChange(UINT flag, const wchar_t* section) override {
        settingFlag = flag;
        settingSection = section ? section : L"(none)";
        return true;
    }
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_LBUTTONDOWN)
            ++defaults;
        return Window::DefaultProc(message, wParam, lParam);
    }
    std::vector<POINT> taps;
    UINT lastFlags = 0;
    SIZE size{0, 0};
    int defaults = 0;
    ActivateParams activation;
    UINT settingFlag = 0;
    std::wstring settingSection;
};

}  // namespace

TEST(WindowFramework, TypedHandlersGetDecodedValuesAndUnhandledGoToTheDefault) {
    UiDriver ui;
    Tapped window;
    ASSERT_TRUE(
        window.Create(L"Test_Tapped", L"", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 100, 80}, nullptr, 0));
    const HWND hwnd = window.GetHandle();
    SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(70, 30));
    // Captured pens report points left of and above the window as negative.
    SendMessage(hwnd, WM_LBUTTONDOWN, 0, MAKELPARAM(-4, -2));
    ASSERT_EQ(window.taps.size(), 2u);
    EXPECT_EQ(window.taps[0].x, 70);
    EXPECT_EQ(window.taps[0].y, 30);
    EXPECT_EQ(window.taps[1].x, -4);
    EXPECT_EQ(window.taps[1].y, -2);
    EXPECT_EQ(window.defaults, 1) << "only the turned-down tap reached DefaultProc";
    SendMessage(hwnd, WM_SIZE, 0, MAKELPARAM(320, 200));
    EXPECT_EQ(window.size.cx, 320);
    EXPECT_EQ(window.size.cy, 200);
    EXPECT_EQ(SendMessage(hwnd, WM_ERASEBKGND, 0, 0), 1) << "a handled erase says it is done";
    window.Destroy();
}

TEST(WindowFramework, ActivationAndSettingChangesAreDecoded) {
    UiDriver ui;
    Tapped window;
    ASSERT_TRUE(
        window.Create(L"Test_Tapped", L"", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 100, 80}, nullptr, 0));
    const HWND hwnd = window.GetHandle();
    const HWND other = reinterpret_cast<HWND>(0x1234);
    SendMessage(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), reinterpret_cast<LPARAM>(other));
    EXPECT_EQ(window.activation.state, WA_CLICKACTIVE);
    EXPECT_TRUE(window.activation.minimized);
    EXPECT_EQ(window.activation.other, other);
    EXPECT_EQ(SendMessage(hwnd, WM_MOUSEACTIVATE, 0, MAKELPARAM(static_cast<WORD>(HTCLIENT), WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    EXPECT_EQ(
        SendMessage(hwnd, WM_MOUSEACTIVATE, 0, MAKELPARAM(static_cast<WORD>(HTCAPTION), WM_LBUTTONDOWN)),
        DefWindowProc(hwnd, WM_MOUSEACTIVATE, 0, MAKELPARAM(static_cast<WORD>(HTCAPTION), WM_LBUTTONDOWN)))
        << "0 from the handler leaves the answer to the default";
    const wchar_t section[] = L"intl";
    SendMessage(hwnd, WM_SETTINGCHANGE, 42, reinterpret_cast<LPARAM>(section));
    EXPECT_EQ(window.settingFlag, 42u);
    EXPECT_EQ(window.settingSection, L"intl");
    window.Destroy();
}

TEST(WindowFramework, CreationBindsAndDestructionUnbindsInOrder) {
    UiDriver ui;
    std::vector<std::string> log;
    Probe probe(&log);
    ASSERT_TRUE(probe.CreateAs(nullptr, RECT{0, 0, 100, 100}));
    const HWND hwnd = probe.GetHandle();
    EXPECT_EQ(GetWindowManager()->Find(hwnd), &probe);
    EXPECT_FALSE(probe.CreateAs(nullptr, RECT{0, 0, 10, 10})) << "an object holds one window";

    Probe other(&log, "other");
    EXPECT_FALSE(other.Attach(hwnd)) << "a window belongs to one object";
    EXPECT_FALSE(other.Subclass(hwnd));

    EXPECT_TRUE(probe.Destroy());
    EXPECT_EQ(probe.GetHandle(), nullptr);
    EXPECT_EQ(GetWindowManager()->Find(hwnd), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"probe:create", "probe:destroy"}));
}

TEST(WindowFramework, RefusedCreationLeavesNothingBehind) {
    UiDriver ui;
    Probe probe;
    probe.m_acceptCreate = false;
    const size_t before = GetWindowManager()->GetCount();
    EXPECT_FALSE(probe.CreateAs(nullptr, RECT{0, 0, 50, 50}));
    EXPECT_EQ(probe.GetHandle(), nullptr);
    EXPECT_EQ(GetWindowManager()->GetCount(), before);
    probe.m_acceptCreate = true;
    EXPECT_TRUE(probe.CreateAs(nullptr, RECT{0, 0, 50, 50})) << "the object can try again";
    probe.Destroy();
}

TEST(WindowFramework, ClassIsRegisteredOnce) {
    UiDriver ui;
    const ATOM first = RegisterWindowClass(L"Test_Once", nullptr, nullptr, nullptr);
    ASSERT_NE(first, 0);
    EXPECT_EQ(RegisterWindowClass(L"Test_Once", nullptr, nullptr, nullptr), first);
    Probe a;  // its constructor asks for "Test_Probe"
    const size_t count = GetClassRegistrar()->GetCount();
    const ATOM probeClass = GetClassRegistrar()->Find(L"Test_Probe");
    EXPECT_NE(probeClass, 0);
    Probe b;
    EXPECT_EQ(GetClassRegistrar()->GetCount(), count);
    EXPECT_EQ(GetClassRegistrar()->Find(L"Test_Probe"), probeClass);
}

TEST(WindowFramework, NotificationReachesTheControlObjectBeforeTheParent) {
    UiDriver ui;
    std::vector<std::string> log;
    Probe top(&log, "top");
    ASSERT_TRUE(top.CreateAs(nullptr, RECT{0, 0, 200, 200}));
    Probe middle(&log, "middle");  // a child window holding the control
    ASSERT_TRUE(middle.CreateAs(top.GetHandle(), RECT{0, 0, 150, 150}, 5));
    // The control: a plain window of another class, taken over by an object.
    WNDCLASS wc{};
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = L"Test_Plain";
    RegisterClass(&wc);
    const HWND control = CreateWindowEx(0, L"Test_Plain", L"", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20,
                                        middle.GetHandle(), reinterpret_cast<HMENU>(9), nullptr, nullptr);
    Probe controlObject(&log, "control");
    ASSERT_TRUE(controlObject.Subclass(control));

    NMHDR hdr{control, 9, static_cast<UINT>(-2)};
    EXPECT_EQ(SendMessage(top.GetHandle(), WM_NOTIFY, 9, reinterpret_cast<LPARAM>(&hdr)), 7);
    EXPECT_EQ(log.back(), "control:reflected -2") << "only the control's object answered";

    // When the control's object does not handle it, the parent's own handler runs.
    log.clear();
    controlObject.m_answerNotifications = false;
    SendMessage(top.GetHandle(), WM_NOTIFY, 9, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ(log, (std::vector<std::string>{"control:reflected -2", "top:notify -2"}));

    // A window without an object on the way is skipped: the nearest object above answers.
    controlObject.Unsubclass();
    log.clear();
    SendMessage(top.GetHandle(), WM_NOTIFY, 9, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ(log.front(), "middle:reflected -2");
    top.Destroy();
}

TEST(WindowFramework, MenuStateFollowsAnswersAndUnansweredItemsKeepTheirs) {
    UiDriver ui;
    Probe frame;
    ASSERT_TRUE(frame.CreateAs(nullptr, RECT{0, 0, 100, 100}));
    const HMENU menu = CreatePopupMenu();
    const HMENU sub = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, 100, L"Answered");
    AppendMenu(menu, MF_STRING | MF_GRAYED | MF_CHECKED, 300, L"Unanswered");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"More");
    AppendMenu(sub, MF_STRING | MF_GRAYED | MF_CHECKED, 200, L"In the sub-menu");

    SendMessage(frame.GetHandle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_EQ(GetMenuState(menu, 100, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), MF_GRAYED | MF_CHECKED);
    EXPECT_EQ(GetMenuState(menu, 300, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), MF_GRAYED | MF_CHECKED);
    EXPECT_EQ(GetMenuState(sub, 200, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), 0u);
    DestroyMenu(menu);
    frame.Destroy();
}

TEST(WindowFramework, DestroyingTheMainWindowEndsTheLoop) {
    UiDriver ui;
    App app;
    app.SetSingleInstance(false);
    FrameWindow frame;
    ASSERT_TRUE(frame.Create(nullptr, DefaultWindowRect(), L"Main", WS_VISIBLE, 0));
    app.SetMainWindow(&frame);
    PostMessage(frame.GetHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.GetMainWindow(), nullptr);
    EXPECT_EQ(frame.GetHandle(), nullptr);
}

TEST(WindowFramework, SecondInstanceKnocksAndEnds) {
    UiDriver ui;
    ob::kernel::SetNamedObjectScope("wnd-test-instance");
    App first;
    ASSERT_TRUE(first.InitApplication());
    FrameWindow frame;
    ASSERT_TRUE(frame.Create(nullptr, DefaultWindowRect(), L"First", 0, 0));
    first.SetMainWindow(&frame);
    {
        App second;
        second.SetRetryDelay(0);
        EXPECT_FALSE(second.InitApplication());
    }
    SetApp(&first);
    EXPECT_FALSE(IsWindowVisible(frame.GetHandle()));
    ob::ui::WaitForWork(1000);  // the loop wakes for the knock as it waits for messages
    ui.RunUntilIdle();
    EXPECT_TRUE(IsWindowVisible(frame.GetHandle())) << "the running instance came forward";
    frame.Destroy();
    ob::kernel::SetNamedObjectScope("");
}
