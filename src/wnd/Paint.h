// Scoped ownership of drawing objects, so that a window's paint code never
// pairs SelectObject/DeleteObject or BeginPaint/EndPaint by hand.
//
//   void MyControl::Paint() {
//       ZEP_Wnd::PaintDC paint(GetHandle());
//       ZEP_Wnd::SelectGuard font(paint, m_font);
//       ...
//   }
#pragma once

#include <type_traits>
#include <utility>

#include "platform/ui/Windows.h"
#include "platform/ui/gdi/SelectGuard.h"

namespace ZEP_Wnd {

// BeginPaint in the constructor, EndPaint in the destructor. Converts to the
// HDC it paints into; Area() is the rectangle that needs painting.
class PaintDC {
public:
    explicit PaintDC(HWND window) : m_window(window) { m_dc = ::BeginPaint(window, &m_ps); }
    ~PaintDC() {
        if (m_window)
            ::EndPaint(m_window, &m_ps);
    }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    operator HDC() const { return m_dc; }
    HDC GetDC() const { return m_dc; }
    const RECT& Area() const { return m_ps.rcPaint; }
    bool IsValid() const { return m_dc != nullptr; }

private:
    HWND m_window = nullptr;
    HDC m_dc = nullptr;
    PAINTSTRUCT m_ps{};
};

// A window's DC for drawing outside WM_PAINT (or the screen's with a null
// window), released on scope exit.
class WindowDC {
public:
    explicit WindowDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~WindowDC() {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    operator HDC() const { return m_dc; }
    HDC GetDC() const { return m_dc; }

private:
    HWND m_window = nullptr;
    HDC m_dc = nullptr;
};

// A memory DC made compatible with another, deleted on scope exit.
class MemoryDC {
public:
    explicit MemoryDC(HDC reference) : m_dc(::CreateCompatibleDC(reference)) {}
    ~MemoryDC() {
        if (m_dc)
            ::DeleteDC(m_dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    operator HDC() const { return m_dc; }
    HDC GetDC() const { return m_dc; }

private:
    HDC m_dc = nullptr;
};

// Owns one GDI object (font, pen, brush, bitmap) and deletes it once, when
// replaced or destroyed. Movable, not copyable. Never delete a stock object
// through it: use the raw handle for those.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : m_handle(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.m_handle, nullptr));
        return *this;
    }

    // Takes ownership of a new handle, deleting the one held before.
    void Reset(Handle handle = nullptr) {
        if (m_handle && m_handle != handle)
            ::DeleteObject(m_handle);
        m_handle = handle;
    }
    // Gives the handle up without deleting it.
    Handle Release() { return std::exchange(m_handle, nullptr); }

    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    Handle m_handle = nullptr;
};

using OwnedFont = GdiObject<HFONT>;
using OwnedPen = GdiObject<HPEN>;
using OwnedBrush = GdiObject<HBRUSH>;
using OwnedBitmap = GdiObject<HBITMAP>;

// Selects an object into a DC for the guard's scope and puts the previous one
// back on exit. A null object selects nothing. The platform's own drawing
// uses the same guard.
using SelectGuard = ob::ui::SelectGuard;

}  // namespace ZEP_Wnd
