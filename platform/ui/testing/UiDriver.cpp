#include "platform/ui/testing/UiDriver.h"

#include "platform/ui/Controls.h"
#include "platform/ui/win/WindowSystem.h"

#include "platform/kernel/Clock.h"
#include "platform/kernel/WideText.h"

#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <functional>
#include <sstream>

namespace ob::ui::testing {

namespace {
// 2026-01-01 00:00 UTC: a fixed start, so tests never depend on today.
constexpr ob::kernel::Ticks kStart = 134116128000000000LL;

std::string Narrow(const std::wstring& s) { return ob::kernel::ToUtf8(s); }

bool SameText(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (towlower(a[i]) != towlower(b[i]))
            return false;
    return true;
}

// Depth first, front to back, the parent before its children.
HWND FindWhere(HWND parent, const std::function<bool(HWND)>& match) {
    for (HWND c = GetWindow(parent ? parent : GetDesktopWindow(), GW_CHILD); c;
         c = GetWindow(c, GW_HWNDNEXT)) {
        if (match(c))
            return c;
        if (HWND inner = FindWhere(c, match))
            return inner;
    }
    return nullptr;
}
}  // namespace

UiDriver::UiDriver(const std::string& screen) {
    ob::kernel::UseVirtualClock(kStart);
    ScreenMode mode;
    if (!ParseScreenMode(screen, mode))
        mode = ScreenMode{};
    StartScreen(mode, "headless");
    SetIdleHandler([this] {
        if (m_steps.empty())
            return false;
        auto step = std::move(m_steps.front());
        m_steps.pop_front();
        step();
        // Whatever loop was waiting looks at its state again (a dialog the
        // step ended, a menu it closed) as it would after any message.
        PostMessage(nullptr, WM_NULL, 0, 0);
        return true;
    });
}

UiDriver::~UiDriver() {
    SetIdleHandler(nullptr);
    StopScreen();
    ob::kernel::ClearClockOverride();
}

int UiDriver::RunUntilIdle() {
    int count = 0;
    MSG msg;
    // A generous bound: a handler that keeps invalidating itself would
    // otherwise spin for ever.
    while (count < 100000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // left for the test to see
            break;
        }
        ++count;
        if (m_filter && m_filter(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    return count;
}

void UiDriver::Advance(unsigned ms) {
    // Steps of 10 ms keep timers of different periods in their real order.
    RunUntilIdle();
    while (ms > 0) {
        unsigned step = ms < 10 ? ms : 10;
        ob::kernel::AdvanceVirtualClock(static_cast<ob::kernel::Ticks>(step) *
                                        ob::kernel::kTicksPerMillisecond);
        ms -= step;
        RunUntilIdle();
    }
}

void UiDriver::PenDown(POINT p) { InjectPen(0, p); }
void UiDriver::PenMove(POINT p) { InjectPen(1, p); }
void UiDriver::PenUp(POINT p) { InjectPen(2, p); }

void UiDriver::Tap(POINT p) {
    PenDown(p);
    PenUp(p);
    RunUntilIdle();
}

void UiDriver::Tap(HWND hwnd) { Tap(CentreOf(hwnd)); }

void UiDriver::Hold(POINT p, unsigned ms) {
    PenDown(p);
    // The hold happens while something (the gesture recogniser) waits for
    // the pen; if nothing waits, the time simply passes before the lift.
    bool consumed = false;
    WhenIdle([p, ms, &consumed] {
        consumed = true;
        ob::kernel::AdvanceVirtualClock(static_cast<ob::kernel::Ticks>(ms) *
                                        ob::kernel::kTicksPerMillisecond);
        InjectPen(2, p);
    });
    RunUntilIdle();
    if (!consumed) {
        m_steps.pop_back();
        Advance(ms);
        PenUp(p);
    }
    RunUntilIdle();
}

void UiDriver::Drag(POINT from, POINT to, int steps) {
    PenDown(from);
    RunUntilIdle();
    for (int i = 1; i <= steps; ++i) {
        PenMove(POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        RunUntilIdle();
    }
    PenUp(to);
    RunUntilIdle();
}

void UiDriver::Key(UINT vk) {
    InjectKey(vk, true);
    InjectKey(vk, false);
    RunUntilIdle();
}

void UiDriver::KeyWith(UINT modifier, UINT vk) {
    InjectKey(modifier, true);
    InjectKey(vk, true);
    InjectKey(vk, false);
    InjectKey(modifier, false);
    RunUntilIdle();
}

void UiDriver::Type(const std::wstring& text) {
    for (wchar_t c : text)
        InjectChar(c);
    RunUntilIdle();
}

void UiDriver::WhenIdle(std::function<void()> step) { m_steps.push_back(std::move(step)); }

HWND UiDriver::FindById(int id, HWND parent) const {
    return FindWhere(
        parent, [&](HWND h) { return GetDlgCtrlID(h) == id && (GetWindowLong(h, GWL_STYLE) & WS_CHILD); });
}

HWND UiDriver::FindByClass(const std::wstring& className, HWND parent) const {
    return FindWhere(parent, [&](HWND h) {
        wchar_t buf[128];
        GetClassName(h, buf, 128);
        return SameText(buf, className);
    });
}

HWND UiDriver::FindByText(const std::wstring& text, HWND parent) const {
    return FindWhere(parent, [&](HWND h) {
        wchar_t buf[512];
        GetWindowText(h, buf, 512);
        return text == buf;
    });
}

std::string UiDriver::DumpTree(HWND root) const {
    std::ostringstream out;
    std::function<void(HWND, int)> dump = [&](HWND h, int depth) {
        wchar_t cls[128], text[256];
        GetClassName(h, cls, 128);
        GetWindowText(h, text, 256);
        RECT r;
        GetWindowRect(h, &r);
        out << std::string(static_cast<size_t>(depth) * 2, ' ') << Narrow(cls);
        if (GetWindowLong(h, GWL_STYLE) & WS_CHILD)
            out << " #" << GetDlgCtrlID(h);
        out << " \"" << Narrow(text) << "\" (" << r.left << ',' << r.top << ")-(" << r.right << ','
            << r.bottom << ')';
        out << (IsWindowVisible(h) ? " visible" : " hidden") << (IsWindowEnabled(h) ? "" : " disabled");
        if (GetFocus() == h)
            out << " focused";
        // Controls answer their own state questions.
        std::wstring c = cls;
        for (auto& ch : c)
            ch = static_cast<wchar_t>(towlower(ch));
        if (c == L"button") {
            if (SendMessage(h, BM_GETCHECK, 0, 0) == BST_CHECKED)
                out << " checked";
        } else if (c == L"listbox") {
            if (GetWindowLong(h, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
                out << " selected=[";
                LRESULT n = SendMessage(h, LB_GETCOUNT, 0, 0);
                bool first = true;
                for (LRESULT i = 0; i < n; ++i)
                    if (SendMessage(h, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) {
                        out << (first ? "" : ",") << i;
                        first = false;
                    }
                out << ']';
            } else {
                out << " selected=" << SendMessage(h, LB_GETCURSEL, 0, 0);
            }
        } else if (c == L"combobox") {
            out << " selected=" << SendMessage(h, CB_GETCURSEL, 0, 0);
        } else if (c == L"syslistview32") {
            out << " selected=[";
            bool first = true;
            for (LRESULT i = SendMessage(h, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); i >= 0;
                 i = SendMessage(h, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED)) {
                out << (first ? "" : ",") << i;
                first = false;
            }
            out << ']';
        } else if (c == L"msctls_trackbar32") {
            out << " pos=" << SendMessage(h, TBM_GETPOS, 0, 0);
        }
        out << '\n';
        for (HWND k = GetWindow(h, GW_CHILD); k; k = GetWindow(k, GW_HWNDNEXT))
            dump(k, depth + 1);
    };
    if (root)
        dump(root, 0);
    else
        for (HWND k = GetWindow(GetDesktopWindow(), GW_CHILD); k; k = GetWindow(k, GW_HWNDNEXT))
            dump(k, 0);
    return out.str();
}

COLORREF UiDriver::Pixel(int x, int y) {
    RunUntilIdle();
    return ScreenPixel(x, y);
}

bool UiDriver::Screenshot(const std::string& path) {
    RunUntilIdle();
    return SaveScreenshot(path);
}

std::string UiDriver::OutputPath(const std::string& name) {
    const char* env = std::getenv("ORBELLINE_UI_OUTPUT");
    std::filesystem::path dir = env && *env ? std::filesystem::path(env)
                                            : std::filesystem::temp_directory_path() / "orbelline_ui_output";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return (dir / name).string();
}

POINT CentreOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace ob::ui::testing
