#include "platform/ui/win/WindowSystem.h"

#include "platform/ui/display/Display.h"

#include <algorithm>

namespace ob::ui {

namespace {
std::unique_ptr<WindowSystem> g_system;

LRESULT DesktopProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(hwnd, message, wParam, lParam);
}
}  // namespace

WindowSystem& Sys() {
    if (!g_system)
        g_system = std::make_unique<WindowSystem>();
    return *g_system;
}

void EnsureStarted() {
    WindowSystem& s = Sys();
    if (s.desktop)
        return;
    auto cls = std::make_unique<WindowClass>();
    cls->name = L"#32769";
    cls->atom = s.nextAtom++;
    cls->proc = DesktopProc;
    cls->background = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(1 + 1));  // COLOR_BACKGROUND
    WindowClass* c = cls.get();
    s.classes[cls->name] = std::move(cls);
    auto w = std::make_unique<Window>();
    w->handle = reinterpret_cast<HWND>(s.nextHandle);
    s.nextHandle += 4;
    w->cls = c;
    w->proc = DesktopProc;
    w->style = WS_VISIBLE;
    w->rect = RECT{0, 0, s.screenWidth, s.screenHeight};
    w->client = w->rect;
    w->created = true;
    s.desktop = w.get();
    s.windows[w->handle] = std::move(w);
    InvalidateWholeTree(s.desktop, true);
}

void ResetWindowSystem() {
    if (!g_system)
        return;
    // Handles are never given out twice in a process, even across restarts,
    // so a handle kept from before never names a new window.
    std::uintptr_t nextHandle = g_system->nextHandle;
    g_system->display.reset();
    g_system.reset();
    Sys().nextHandle = nextHandle;
}

Window* FromHandle(HWND hwnd) {
    if (!g_system || !hwnd)
        return nullptr;
    auto it = g_system->windows.find(hwnd);
    return it == g_system->windows.end() ? nullptr : it->second.get();
}

Window* FromHandleOrDesktop(HWND hwnd) {
    if (!hwnd) {
        EnsureStarted();
        return Sys().desktop;
    }
    return FromHandle(hwnd);
}

bool IsTopLevel(const Window* w) { return w && w->parent && w->parent == Sys().desktop; }

Window* TopLevelOf(Window* w) {
    while (w && w->parent && !IsTopLevel(w))
        w = w->parent;
    return IsTopLevel(w) ? w : nullptr;
}

static POINT ClientOrigin(const Window* w) {
    POINT p{0, 0};
    for (const Window* c = w; c; c = c->parent) {
        p.x += c->client.left;
        p.y += c->client.top;
        if (c->parent) {
            p.x += c->rect.left;
            p.y += c->rect.top;
        }
    }
    return p;
}

RECT ScreenWindowRect(const Window* w) {
    if (!w->parent)
        return w->rect;
    POINT o = ClientOrigin(w->parent);
    return RECT{w->rect.left + o.x, w->rect.top + o.y, w->rect.right + o.x, w->rect.bottom + o.y};
}

RECT ScreenClientRect(const Window* w) {
    POINT o = ClientOrigin(w);
    return RECT{o.x, o.y, o.x + (w->client.right - w->client.left), o.y + (w->client.bottom - w->client.top)};
}

bool IsReallyVisible(const Window* w) {
    for (const Window* c = w; c; c = c->parent)
        if (!(c->style & WS_VISIBLE))
            return false;
    return w != nullptr;
}

bool IsAncestor(const Window* ancestor, const Window* w) {
    for (const Window* c = w ? w->parent : nullptr; c; c = c->parent)
        if (c == ancestor)
            return true;
    return false;
}

Region VisibleRegion(const Window* w, bool includeFrame, bool withChildren) {
    Region result;
    if (!IsReallyVisible(w))
        return result;
    result.Add(includeFrame ? ScreenWindowRect(w) : ScreenClientRect(w));
    // Clipped by every ancestor's client area, and covered by the siblings
    // above it and above each ancestor (windows always clip their siblings).
    for (const Window* c = w; c->parent; c = c->parent) {
        result.Intersect(ScreenClientRect(c->parent));
        for (const Window* sib : c->parent->children) {
            if (sib == c)
                break;
            if (sib->style & WS_VISIBLE)
                result.Subtract(ScreenWindowRect(sib));
        }
    }
    // And parents never draw over their children.
    if (withChildren)
        return result;
    for (const Window* child : w->children)
        if (child->style & WS_VISIBLE)
            result.Subtract(ScreenWindowRect(child));
    return result;
}

void UpdateClientRect(Window* w) {
    int width = w->rect.right - w->rect.left;
    int height = w->rect.bottom - w->rect.top;
    int inset = 0;
    if (w->style & (WS_BORDER | WS_DLGFRAME))
        inset += 1;
    if (w->exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE))
        inset += 1;
    if (w->exStyle & WS_EX_DLGMODALFRAME)
        inset += 1;
    RECT c{inset, inset, std::max<LONG>(inset, width - inset), std::max<LONG>(inset, height - inset)};
    if (w->style & WS_VSCROLL)
        c.right = std::max<LONG>(c.left, c.right - GetSystemMetrics(SM_CXVSCROLL));
    if (w->style & WS_HSCROLL)
        c.bottom = std::max<LONG>(c.top, c.bottom - GetSystemMetrics(SM_CYHSCROLL));
    w->client = c;
}

static void InvalidateUnder(Window* w, const Region& area, const Window* skip) {
    if (w == skip || !(w->style & WS_VISIBLE))
        return;
    Region vis = VisibleRegion(w, true);
    vis.Intersect(area);
    if (!vis.Empty()) {
        RECT wr = ScreenWindowRect(w);
        RECT cr = ScreenClientRect(w);
        Region client = vis;
        client.Intersect(cr);
        if (!client.Empty()) {
            client.Offset(-cr.left, -cr.top);
            w->update.Add(client);
            w->erase = true;
        }
        Region frame = vis;
        frame.Subtract(cr);
        if (!frame.Empty() || (wr.left != cr.left || wr.top != cr.top))
            w->ncDirty = w->ncDirty || !frame.Empty();
    }
    std::vector<HWND> kids;
    for (Window* c : w->children)
        kids.push_back(c->handle);
    for (HWND h : kids)
        if (Window* c = FromHandle(h))
            InvalidateUnder(c, area, skip);
}

void InvalidateScreenArea(const RECT& screenArea, const Window* skip) {
    InvalidateScreenRegion(Region(screenArea), skip);
}

void InvalidateScreenRegion(const Region& screenArea, const Window* skip) {
    EnsureStarted();
    if (screenArea.Empty())
        return;
    InvalidateUnder(Sys().desktop, screenArea, skip);
}

void InvalidateTreeUnder(Window* w, const Region& screenArea) {
    if (screenArea.Empty())
        return;
    InvalidateUnder(w, screenArea, nullptr);
}

void InvalidateWholeTree(Window* w, bool erase) {
    RECT c{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    w->update.Add(c);
    w->erase = w->erase || erase;
    w->ncDirty = true;
    for (Window* child : w->children)
        InvalidateWholeTree(child, erase);
}

void MarkScreenDirty(const RECT& screenArea) {
    WindowSystem& s = Sys();
    s.screenDirty = true;
    s.screenDamage.Add(screenArea);
}

Window* FindWindowToPaint(HWND filter) {
    WindowSystem& s = Sys();
    if (!s.desktop)
        return nullptr;
    // Depth first, parents before children, front windows first.
    std::vector<Window*> stack{s.desktop};
    while (!stack.empty()) {
        Window* w = stack.back();
        stack.pop_back();
        if (!(w->style & WS_VISIBLE))
            continue;
        if (w->ncDirty && w->redraw && (!filter || filter == w->handle)) {
            // The frame is drawn at once, as part of finding what to paint.
            w->ncDirty = false;
            bool hasFrame = w->client.left > 0 || w->client.top > 0 ||
                            w->client.right < w->rect.right - w->rect.left ||
                            w->client.bottom < w->rect.bottom - w->rect.top;
            if (hasFrame) {
                Send(w, WM_NCPAINT, 1, 0);
                return FindWindowToPaint(filter);  // the handler may have changed the tree
            }
        }
        bool wants = (!w->update.Empty() && w->redraw) || w->internalPaint;
        if (wants && (!filter || filter == w->handle))
            return w;
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
            stack.push_back(*it);
    }
    return nullptr;
}

int Scale(int pixelsAt96) { return pixelsAt96 * Sys().screenDpi / 96; }

}  // namespace ob::ui
