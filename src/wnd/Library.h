// Library-wide state and helpers of the window framework: the instance, the
// current application, the window manager and class registrar, strings and
// fonts from the resources.
#pragma once

#include <optional>
#include <string>

#include "platform/ui/Windows.h"
#include "wnd/Paint.h"

namespace ZEP_Wnd {

class App;
class WindowManager;
class WindowClassRegistrar;

HINSTANCE GetInstanceHandle();
void SetInstanceHandle(HINSTANCE instance);
App* GetApp();
void SetApp(App* app);

// The manager and registrar live while the entry sequence runs; code that
// runs outside it (tests, tools) gets them made on first use.
WindowManager* GetWindowManager();
WindowClassRegistrar* GetClassRegistrar();
bool CreateLibraryObjects();
void DeleteLibraryObjects();

// The text of a string-table entry; empty when there is none.
std::wstring LoadString(UINT id);
// "Tahoma" at a point size for the screen's density.
HFONT CreatePointFont(int points, bool bold = false, bool italic = false, bool underline = false);
// Registers a class of the library's window procedure once; 0 on failure.
ATOM RegisterWindowClass(const std::wstring& name, HICON icon, HCURSOR cursor, HBRUSH background,
                         LPCWSTR menuName = nullptr);

// A memory drawing surface kept at the size of what it buffers, so that
// lists and the map paint without flicker.
class OffscreenBuffer {
public:
    OffscreenBuffer() = default;
    ~OffscreenBuffer();
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;

    // Makes the surface on first use and a new bitmap only when the size changes.
    bool EnsureSize(HDC reference, int width, int height);
    HDC GetDC() const { return m_memory ? m_memory->GetDC() : nullptr; }
    int GetWidth() const { return m_width; }
    // The one double-buffering path: sizes the buffer to width x height,
    // lets `paint` draw into it and copies the result to `target` at (0, 0).
    // False (nothing drawn) when the buffer cannot be made.
    template <typename PaintFn>
    bool Draw(HDC target, int width, int height, PaintFn&& paint) {
        if (!EnsureSize(target, width, height))
            return false;
        const HDC buffer = GetDC();
        paint(buffer);
        return ::BitBlt(target, 0, 0, width, height, buffer, 0, 0, SRCCOPY) != FALSE;
    }
    int GetHeight() const { return m_height; }

private:
    // Destroyed in reverse: the selection is undone before the bitmap and
    // the DC are deleted.
    std::optional<MemoryDC> m_memory;
    OwnedBitmap m_bitmap;
    std::optional<SelectGuard> m_selection;
    int m_width = 0;
    int m_height = 0;
};

}  // namespace ZEP_Wnd
