// Sent and posted messages, the queue, timers and waiting for work.
//
// The queue hands out messages in the order the real system does: posted
// messages, then input, then the quit message, then paint, then timers.
// Sent messages never wait: there is one thread, so SendMessage calls the
// window procedure at once (and so runs before anything posted).
#include "platform/ui/display/Display.h"
#include "platform/ui/win/WindowSystem.h"

#include "platform/kernel/Clock.h"

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace ob::ui {

// Input is turned into a window message when it is taken from the queue:
// hit-testing and capture apply at that moment (Input.cpp).
bool InputToMessage(const InputEvent& e, MSG& out);
void AfterInputRemoved(const InputEvent& e, const MSG& m);

LRESULT Send(Window* w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!w)
        return 0;
    // Copy what the call needs: the handler may destroy the window.
    WNDPROC proc = w->proc;
    HWND hwnd = w->handle;
    if (!proc)
        return 0;
    // A handler that runs out of memory fails that one message; the window
    // and the program go on. A paint is taken as done, so the area stays
    // plain instead of being painted again for ever.
    try {
        return proc(hwnd, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        static bool told = false;
        if (!told) {
            told = true;
            std::fputs("window messages: out of memory; what could not be drawn or built is left out\n",
                       stderr);
        }
        if (message == WM_PAINT)
            ValidateRect(hwnd, nullptr);
        return 0;
    }
}

void RemoveMessagesFor(HWND hwnd) {
    auto& q = Sys().posted;
    q.erase(std::remove_if(q.begin(), q.end(), [&](const MSG& m) { return m.hwnd == hwnd; }), q.end());
}

void KillTimersFor(HWND hwnd) {
    auto& t = Sys().timers;
    t.erase(std::remove_if(t.begin(), t.end(), [&](const Timer& x) { return x.hwnd == hwnd; }), t.end());
}

namespace {

bool Matches(const MSG& m, HWND filter, UINT lo, UINT hi) {
    if (filter && m.hwnd != filter)
        return false;
    if (lo == 0 && hi == 0)
        return true;
    return m.message >= lo && m.message <= hi;
}

void Stamp(MSG& m) {
    WindowSystem& s = Sys();
    m.time = ob::kernel::TickCountMs();
    m.pt = s.cursor;
}

// Signed distance in milliseconds on the wrapping tick counter.
inline std::int32_t Until(std::uint32_t due, std::uint32_t now) {
    return static_cast<std::int32_t>(due - now);
}

bool TakeMessage(MSG* msg, HWND filter, UINT lo, UINT hi, bool remove) {
    EnsureStarted();
    WindowSystem& s = Sys();
    for (auto it = s.posted.begin(); it != s.posted.end(); ++it) {
        if (!Matches(*it, filter, lo, hi))
            continue;
        *msg = *it;
        if (remove)
            s.posted.erase(it);
        return true;
    }
    while (!s.input.empty()) {
        InputEvent e = s.input.front();
        MSG m{};
        if (!InputToMessage(e, m)) {  // nowhere to go (a disabled window): dropped
            s.input.pop_front();
            continue;
        }
        if (!Matches(m, filter, lo, hi))
            break;
        *msg = m;
        if (remove) {
            s.input.pop_front();
            AfterInputRemoved(e, m);
        }
        return true;
    }
    if (s.quitPending && !filter) {
        MSG m{nullptr, WM_QUIT, static_cast<WPARAM>(s.quitCode), 0, 0, {}};
        Stamp(m);
        *msg = m;
        if (remove)
            s.quitPending = false;
        return true;
    }
    if (lo == 0 && hi == 0 ? true : (WM_PAINT >= lo && WM_PAINT <= hi)) {
        if (Window* w = FindWindowToPaint(filter)) {
            MSG m{w->handle, WM_PAINT, 0, 0, 0, {}};
            Stamp(m);
            *msg = m;
            return true;
        }
    }
    if (lo == 0 && hi == 0 ? true : (WM_TIMER >= lo && WM_TIMER <= hi)) {
        std::uint32_t now = ob::kernel::TickCountMs();
        for (Timer& t : s.timers) {
            if (filter && t.hwnd != filter)
                continue;
            if (Until(t.due, now) > 0)
                continue;
            MSG m{t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), 0, {}};
            Stamp(m);
            *msg = m;
            // Missed periods are not made up: one message, then a full period.
            if (remove)
                t.due = now + t.interval;
            return true;
        }
    }
    return false;
}

}  // namespace

// Waiting. Timers on the real clock bound the wait; under the virtual clock
// only input or the test's idle handler can bring work.
void WaitForWork(int limitMs) {
    WindowSystem& s = Sys();
    PresentIfDirty();
    bool virtualClock = ob::kernel::IsVirtualClock();
    if (virtualClock && s.idleHandler) {
        auto handler = s.idleHandler;  // it may replace itself
        if (handler())
            return;
    }
    int timeout = -1;
    if (!virtualClock && !s.timers.empty()) {
        std::uint32_t now = ob::kernel::TickCountMs();
        std::int32_t next = INT32_MAX;
        for (const Timer& t : s.timers)
            next = std::min(next, Until(t.due, now));
        timeout = std::max<std::int32_t>(0, next);
    }
    if (limitMs >= 0 && !virtualClock)
        timeout = timeout < 0 ? limitMs : std::min(timeout, limitMs);
    bool interactive = s.display && s.display->Interactive();
    if (virtualClock && !interactive) {
        // Time stands still, so only a descriptor that is ready now can bring
        // work; waiting for anything else would wait for ever.
        std::vector<pollfd> ready;
        for (auto& [fd, fn] : s.loopSources)
            ready.push_back(pollfd{fd, POLLIN, 0});
        if (!ready.empty() && ::poll(ready.data(), ready.size(), 0) > 0) {
            for (const pollfd& p : ready) {
                auto it = s.loopSources.find(p.fd);
                if ((p.revents & (POLLIN | POLLHUP | POLLERR)) && it != s.loopSources.end()) {
                    auto fn = it->second;
                    fn();
                }
            }
            return;
        }
        std::fprintf(stderr,
                     "message loop: waiting under the virtual clock with nothing scripted to happen\n");
        std::abort();
    }
    if (timeout == 0)
        return;
    // Input the display already holds would not wake a wait on its descriptor.
    if (s.display) {
        s.display->PumpInput();
        if (!s.input.empty() || !s.posted.empty() || s.quitPending)
            return;
    }
    int displayFd = s.display ? s.display->InputFd() : -1;
    if (s.display && displayFd < 0 && s.loopSources.empty()) {
        s.display->WaitInput(timeout);
        s.display->PumpInput();
        return;
    }
    std::vector<pollfd> fds;
    if (displayFd >= 0)
        fds.push_back(pollfd{displayFd, POLLIN, 0});
    for (auto& [fd, fn] : s.loopSources)
        fds.push_back(pollfd{fd, POLLIN, 0});
    if (s.display && displayFd < 0 && timeout < 0)
        timeout = 50;  // a display we cannot wait on directly
    if (fds.empty() && timeout < 0) {
        // Nothing can ever arrive: a headless process with no timers.
        ::poll(nullptr, 0, -1);
        return;
    }
    ::poll(fds.data(), fds.size(), timeout);
    for (const pollfd& p : fds) {
        if (!(p.revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        if (p.fd == displayFd)
            continue;
        auto it = s.loopSources.find(p.fd);
        if (it != s.loopSources.end()) {
            auto fn = it->second;
            fn();
        }
    }
    if (s.display)
        s.display->PumpInput();
}

void SetIdleHandler(std::function<bool()> handler) { Sys().idleHandler = std::move(handler); }

void AddLoopSource(int fd, std::function<void()> ready) { Sys().loopSources[fd] = std::move(ready); }
void RemoveLoopSource(int fd) { Sys().loopSources.erase(fd); }

RECT WaitCursorRect();
void DrawWaitCursor();

void PresentIfDirty() {
    WindowSystem& s = Sys();
    if (!s.screenDirty)
        return;
    if (s.currentCursor == LoadCursor(nullptr, IDC_WAIT)) {
        DrawWaitCursor();  // painting may have covered it
        s.screenDamage.Add(WaitCursorRect());
    }
    s.screenDirty = false;
    RECT damage = s.screenDamage.Bounds();
    s.screenDamage.Clear();
    if (s.display)
        s.display->Present(damage);
}

}  // namespace ob::ui

using namespace ob::ui;

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return Send(FromHandle(hwnd), message, wParam, lParam);
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    EnsureStarted();
    if (hwnd && !FromHandle(hwnd))
        return FALSE;
    MSG m{hwnd, message, wParam, lParam, 0, {}};
    m.time = ob::kernel::TickCountMs();
    m.pt = Sys().cursor;
    Sys().posted.push_back(m);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    EnsureStarted();
    Sys().quitPending = true;
    Sys().quitCode = exitCode;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg)
        return FALSE;
    if (!TakeMessage(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)) {
        PresentIfDirty();
        return FALSE;
    }
    return TRUE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!msg)
        return -1;
    if (hwnd && !FromHandle(hwnd))
        return -1;
    while (!TakeMessage(msg, hwnd, filterMin, filterMax, true))
        WaitForWork();
    Sys().lastMessagePos =
        static_cast<DWORD>(MAKELPARAM(static_cast<WORD>(msg->pt.x), static_cast<WORD>(msg->pt.y)));
    Sys().lastMessageTime = static_cast<LONG>(msg->time);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
    MSG m;
    if (!TakeMessage(&m, nullptr, 0, 0, false))
        WaitForWork();
    return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, ob::kernel::TickCountMs());
        return 0;
    }
    Window* w = FromHandle(msg->hwnd);
    if (!w)
        return 0;
    if (msg->message == WM_PAINT)
        w->internalPaint = false;
    return Send(w, msg->message, msg->wParam, msg->lParam);
}

DWORD GetMessagePos() { return Sys().lastMessagePos; }
LONG GetMessageTime() { return Sys().lastMessageTime; }
DWORD GetTickCount() { return ob::kernel::TickCountMs(); }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    EnsureStarted();
    WindowSystem& s = Sys();
    if (hwnd && !FromHandle(hwnd))
        return 0;
    if (elapseMs == 0)
        elapseMs = 1;
    std::uint32_t due = ob::kernel::TickCountMs() + elapseMs;
    if (hwnd) {
        for (Timer& t : s.timers)
            if (t.hwnd == hwnd && t.id == id) {  // resetting restarts the period
                t.interval = elapseMs;
                t.due = due;
                t.proc = proc;
                return id;
            }
    } else {
        id = s.nextTimerId++;
    }
    s.timers.push_back(Timer{hwnd, id, elapseMs, due, proc});
    return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    auto& t = Sys().timers;
    auto it = std::find_if(t.begin(), t.end(), [&](const Timer& x) { return x.hwnd == hwnd && x.id == id; });
    if (it == t.end())
        return FALSE;
    t.erase(it);
    // A WM_TIMER already posted is not taken back; timers are never posted here.
    return TRUE;
}
