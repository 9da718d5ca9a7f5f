// Invalidation, update regions and painting.
#include "platform/ui/win/ScreenDc.h"
#include "platform/ui/win/WindowSystem.h"

namespace ob::ui {
namespace {

RECT ClientBounds(const Window* w) {
    return RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
}

void AddUpdate(Window* w, const Region& area, bool erase) {
    Region r = area;
    r.Intersect(ClientBounds(w));
    if (r.Empty())
        return;
    w->update.Add(r);
    w->erase = w->erase || erase;
}

void Redraw(Window* w, const Region* area, UINT flags, bool top) {
    Region whole(ClientBounds(w));
    const Region& a = area && top ? *area : whole;
    if (flags & RDW_INVALIDATE) {
        AddUpdate(w, a, (flags & RDW_ERASE) != 0);
        if (flags & RDW_FRAME)
            w->ncDirty = true;
    }
    if (flags & RDW_INTERNALPAINT)
        w->internalPaint = true;
    if (flags & RDW_VALIDATE) {
        w->update.Subtract(a);
        if (flags & RDW_NOERASE)
            w->erase = false;
        if (flags & RDW_NOINTERNALPAINT)
            w->internalPaint = false;
        if (w->update.Empty())
            w->erase = false;
    }
    if (flags & RDW_ALLCHILDREN) {
        for (Window* c : w->children) {
            Region childArea;
            if (area && top) {
                // The child's share of the area, in the child's client coordinates.
                childArea = a;
                RECT cr = ScreenClientRect(c), pr = ScreenClientRect(w);
                childArea.Offset(pr.left - cr.left, pr.top - cr.top);
                Redraw(c, &childArea, flags, true);
            } else {
                Redraw(c, nullptr, flags, false);
            }
        }
    }
}

void PaintNow(HWND hwnd, bool children) {
    Window* w = FromHandle(hwnd);
    if (!w || !IsReallyVisible(w))
        return;
    if (!w->update.Empty() || w->internalPaint) {
        w->internalPaint = false;
        Send(w, WM_PAINT, 0, 0);
    }
    if (!children || !(w = FromHandle(hwnd)))
        return;
    std::vector<HWND> kids;
    for (Window* c : w->children)
        kids.push_back(c->handle);
    for (HWND k : kids)
        PaintNow(k, true);
}

}  // namespace

void EraseBackground(Window* w, HDC hdc) {
    HWND hwnd = w->handle;
    LRESULT erased = Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    if ((w = FromHandle(hwnd)))
        w->erase = erased == 0;
}

}  // namespace ob::ui

using namespace ob::ui;

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    if (!hwnd) {  // the whole screen
        EnsureStarted();
        InvalidateWholeTree(Sys().desktop, erase != 0);
        return TRUE;
    }
    Window* w = FromHandle(hwnd);
    if (!w)
        return FALSE;
    if (rect)
        AddUpdate(w, Region(*rect), erase != 0);
    else
        AddUpdate(w, Region(ClientBounds(w)), erase != 0);
    return TRUE;
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return FALSE;
    if (!region)
        return InvalidateRect(hwnd, nullptr, erase);
    Region r;
    if (!CopyGdiRegion(region, r))
        return FALSE;
    AddUpdate(w, r, erase != 0);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return FALSE;
    if (rect)
        w->update.Subtract(*rect);
    else
        w->update.Clear();
    if (w->update.Empty())
        w->erase = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return FALSE;
    if (rect)
        *rect = w->update.Bounds();
    if (erase && w->erase && !w->update.Empty()) {
        HDC dc = GetDC(hwnd);
        EraseBackground(w, dc);
        ReleaseDC(hwnd, dc);
    }
    return w->update.Empty() ? FALSE : TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
    Window* w = FromHandleOrDesktop(hwnd);
    if (!w)
        return FALSE;
    Region area;
    const Region* a = nullptr;
    if (region) {
        if (CopyGdiRegion(region, area))
            a = &area;
    } else if (rect) {
        area.Add(*rect);
        a = &area;
    }
    if (!(flags & RDW_NOCHILDREN) && !(flags & RDW_ALLCHILDREN))
        flags |= RDW_ALLCHILDREN;  // children always clip here
    if (flags & RDW_NOCHILDREN)
        flags &= ~RDW_ALLCHILDREN;
    Redraw(w, a, flags, true);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
        PaintNow(w->handle, (flags & RDW_ALLCHILDREN) != 0);
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return FALSE;
    if (w->ncDirty || !w->update.Empty())
        FindWindowToPaint(hwnd);  // draws the frame first
    if ((w = FromHandle(hwnd)) && (!w->update.Empty() || w->internalPaint)) {
        w->internalPaint = false;
        Send(w, WM_PAINT, 0, 0);
    }
    return TRUE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    Window* w = FromHandle(hwnd);
    if (!w || !paint)
        return nullptr;
    *paint = PAINTSTRUCT{};
    Region update = w->update;
    bool erase = w->erase;
    w->update.Clear();
    w->erase = false;
    w->internalPaint = false;
    w->inPaint = true;
    // The DC draws only where the window shows and where it was invalid.
    RECT cr = ScreenClientRect(w);
    Region clip = update;
    clip.Offset(cr.left, cr.top);
    clip.Intersect(VisibleRegion(w, false));
    HDC dc = CreateScreenDC(POINT{cr.left, cr.top}, clip, w);
    paint->hdc = dc;
    paint->rcPaint = update.Bounds();
    if (erase) {
        LRESULT erased = Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        paint->fErase = erased ? FALSE : TRUE;
    }
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    if (Window* w = FromHandle(hwnd))
        w->inPaint = false;
    if (paint && paint->hdc)
        ReleaseScreenDC(paint->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    Window* w = FromHandleOrDesktop(hwnd);
    if (!w)
        return nullptr;
    RECT cr = ScreenClientRect(w);
    Region clip = hwnd ? VisibleRegion(w, false) : Region(cr);
    return CreateScreenDC(POINT{cr.left, cr.top}, clip, w);
}

HDC GetWindowDC(HWND hwnd) {
    Window* w = FromHandleOrDesktop(hwnd);
    if (!w)
        return nullptr;
    RECT wr = ScreenWindowRect(w);
    Region clip = hwnd ? VisibleRegion(w, true) : Region(wr);
    // The frame part only where no child covers it: drop the children again.
    return CreateScreenDC(POINT{wr.left, wr.top}, clip, w);
}

int ReleaseDC(HWND, HDC hdc) {
    if (!hdc)
        return 0;
    ReleaseScreenDC(hdc);
    return 1;
}
