// The device screen: its pixels, its mode, screenshots, and the choice of display.
#include "platform/ui/display/Display.h"
#include "platform/ui/display/Screen.h"
#include "platform/ui/win/WindowSystem.h"

#include <png.h>
#include <poll.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <functional>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/kernel/FileApi.h"
#include "platform/kernel/WideText.h"
#include "platform/ui/gdi/DeviceContext.h"

namespace ob::ui {

std::unique_ptr<Display> MakeSdlDisplay(const ScreenMode& mode);
void StartShell();
ShellMetrics CurrentShellMetrics();
void ShellScreenChanged(const ShellMetrics& before);

namespace {

struct ScreenBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::unique_ptr<Surface> surface;
};
ScreenBuffer g_screen;

void EnsureBuffer(bool fresh = false) {
    WindowSystem& s = Sys();
    if (!fresh && g_screen.width == s.screenWidth && g_screen.height == s.screenHeight &&
        !g_screen.pixels.empty())
        return;
    g_screen.width = s.screenWidth;
    g_screen.height = s.screenHeight;
    g_screen.pixels.assign(static_cast<size_t>(s.screenWidth) * s.screenHeight, 0xFFFFFFFFu);
    g_screen.surface =
        std::make_unique<Surface>(g_screen.pixels.data(), s.screenWidth, s.screenHeight, s.screenWidth * 4);
    SetScreenDpi(s.screenDpi);
    SetScreenSize(s.screenWidth, s.screenHeight);
}

class HeadlessDisplay : public Display {
public:
    void Present(const RECT&) override {}
};

}  // namespace

// The wait cursor: a ring of dots in the middle of the screen, drawn over
// whatever is there and redrawn after painting until the cursor changes.
RECT WaitCursorRect() {
    WindowSystem& s = Sys();
    int r = Scale(14);
    return RECT{s.screenWidth / 2 - r, s.screenHeight / 2 - r, s.screenWidth / 2 + r, s.screenHeight / 2 + r};
}

void DrawWaitCursor() {
    EnsureBuffer();
    RECT box = WaitCursorRect();
    int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    int ring = Scale(9), dot = Scale(3);
    static const std::uint32_t colours[8] = {0xFF0B3D91, 0xFF1A56B8, 0xFF2F6FD6, 0xFF4C8BEA,
                                             0xFF6EA6F2, 0xFF94C0F7, 0xFFB9D6FA, 0xFFDCEBFD};
    // A white disc behind the dots keeps them readable on any content.
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            int dx = x - cx, dy = y - cy;
            if (x < 0 || y < 0 || x >= g_screen.width || y >= g_screen.height)
                continue;
            if (dx * dx + dy * dy <= (ring + dot + 1) * (ring + dot + 1))
                g_screen.pixels[static_cast<size_t>(y) * g_screen.width + x] = 0xFFFFFFFFu;
        }
    static const int kDirs[8][2] = {{0, -100}, {71, -71}, {100, 0},  {71, 71},
                                    {0, 100},  {-71, 71}, {-100, 0}, {-71, -71}};
    for (int i = 0; i < 8; ++i) {
        int px = cx + kDirs[i][0] * ring / 100, py = cy + kDirs[i][1] * ring / 100;
        for (int y = py - dot; y <= py + dot; ++y)
            for (int x = px - dot; x <= px + dot; ++x) {
                if (x < 0 || y < 0 || x >= g_screen.width || y >= g_screen.height)
                    continue;
                if ((x - px) * (x - px) + (y - py) * (y - py) <= dot * dot)
                    g_screen.pixels[static_cast<size_t>(y) * g_screen.width + x] = colours[i];
            }
    }
}

void Display::WaitInput(int timeoutMs) {
    if (timeoutMs != 0)
        ::poll(nullptr, 0, timeoutMs);
}

int DensityForScreen(int width, int height) {
    return std::min(width, height) >= 2 * kMinScreenSide ? 192 : 96;
}

bool ScreenModeInRange(const ScreenMode& mode) {
    if (mode.dpi != 96 && mode.dpi != 192)
        return false;
    const int least = kMinScreenSide * mode.dpi / 96;
    return mode.width >= least && mode.height >= least && mode.width <= kMaxScreenSide &&
           mode.height <= kMaxScreenSide;
}

bool ParseScreenMode(std::string_view text, ScreenMode& mode) {
    auto x = text.find_first_of("xX");
    if (x == std::string_view::npos)
        return false;
    const auto at = text.find('@');
    const std::string_view size = text.substr(0, at);
    int w = 0, h = 0, dpi = 0;
    auto a = std::from_chars(size.data(), size.data() + x, w);
    auto b = std::from_chars(size.data() + x + 1, size.data() + size.size(), h);
    if (a.ec != std::errc{} || a.ptr != size.data() + x || b.ec != std::errc{} ||
        b.ptr != size.data() + size.size())
        return false;
    if (at != std::string_view::npos) {
        const std::string_view d = text.substr(at + 1);
        auto c = std::from_chars(d.data(), d.data() + d.size(), dpi);
        if (c.ec != std::errc{} || c.ptr != d.data() + d.size())
            return false;
    } else {
        dpi = DensityForScreen(w, h);
    }
    const ScreenMode parsed{w, h, dpi};
    if (!ScreenModeInRange(parsed))
        return false;
    mode = parsed;
    return true;
}

namespace {
std::wstring& ClipboardText() {
    static std::wstring text;
    return text;
}
}  // namespace

bool SetClipboardText(const std::wstring& text) {
    ClipboardText() = text;
    WindowSystem& s = Sys();
    return s.display && s.display->OfferClipboardText(ob::kernel::ToUtf8(text));
}

std::wstring GetClipboardText() { return ClipboardText(); }

namespace {

std::function<void()>& DensityChangeHandler() {
    static std::function<void()> handler;
    return handler;
}

}  // namespace

void SetDensityChangeHandler(std::function<void()> handler) { DensityChangeHandler() = std::move(handler); }

void ResizeScreen(const ScreenMode& mode) {
    WindowSystem& s = Sys();
    if (!ScreenModeInRange(mode) || !s.desktop ||
        (mode.width == s.screenWidth && mode.height == s.screenHeight && mode.dpi == s.screenDpi))
        return;
    const bool newDensity = mode.dpi != s.screenDpi;
    const ShellMetrics before = CurrentShellMetrics();
    s.screenWidth = mode.width;
    s.screenHeight = mode.height;
    s.screenDpi = mode.dpi;
    EnsureBuffer(true);
    s.desktop->rect = RECT{0, 0, mode.width, mode.height};
    s.desktop->client = s.desktop->rect;
    ShellScreenChanged(before);
    InvalidateWholeTree(s.desktop, true);
    MarkScreenDirty(s.desktop->rect);
    if (newDensity && DensityChangeHandler())
        DensityChangeHandler()();
}

bool StartScreen(const ScreenMode& asked, std::string_view display) {
    StopScreen();
    WindowSystem& s = Sys();
    // A screen left to the desktop window starts at the pocket size until the
    // window is shown and gives it its own.
    const ScreenMode mode = asked.width > 0 ? asked : ScreenMode{};
    s.screenWidth = mode.width;
    s.screenHeight = mode.height;
    s.screenDpi = mode.dpi;
    EnsureBuffer(true);
    EnsureStarted();
    bool ok = true;
    if (display == "sdl") {
        s.display = MakeSdlDisplay(asked);
        ok = s.display != nullptr;
    }
    if (!s.display)
        s.display = std::make_unique<HeadlessDisplay>();
    StartShell();
    return ok;
}

ScreenMode CurrentScreenMode() {
    WindowSystem& s = Sys();
    return ScreenMode{s.screenWidth, s.screenHeight, s.screenDpi};
}

void StopScreen() {
    WindowSystem& s = Sys();
    if (s.desktop) {
        std::vector<HWND> tops;
        for (Window* w : s.desktop->children)
            tops.push_back(w->handle);
        for (HWND h : tops)
            DestroyWindow(h);
    }
    ResetWindowSystem();
}

Surface* ScreenSurface() {
    EnsureBuffer();
    return g_screen.surface.get();
}

std::uint32_t* ScreenPixels() {
    EnsureBuffer();
    return g_screen.pixels.data();
}

int ScreenStride() {
    EnsureBuffer();
    return g_screen.width;
}

COLORREF ScreenPixel(int x, int y) {
    EnsureBuffer();
    if (x < 0 || y < 0 || x >= g_screen.width || y >= g_screen.height)
        return 0xFFFFFFFFu;
    std::uint32_t p = g_screen.pixels[static_cast<size_t>(y) * g_screen.width + x];
    return RGB(static_cast<BYTE>(p >> 16), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p));
}

bool SaveScreenshot(const std::string& path, const RECT* area) {
    EnsureBuffer();
    PresentIfDirty();
    RECT r{0, 0, g_screen.width, g_screen.height};
    if (area) {
        r.left = std::max<LONG>(r.left, area->left);
        r.top = std::max<LONG>(r.top, area->top);
        r.right = std::min<LONG>(r.right, area->right);
        r.bottom = std::min<LONG>(r.bottom, area->bottom);
    }
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return false;
    // The picture is made in memory and then put in place in one step, so a
    // full disk or a crash never leaves a damaged or missing old picture.
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    // volatile: libpng reports errors by longjmp back to the setjmp below.
    volatile bool ok = false;
    std::vector<png_byte> row(static_cast<size_t>(w) * 3);
    if (png && info && !setjmp(png_jmpbuf(png))) {
        png_set_write_fn(
            png, &bytes,
            [](png_structp p, png_bytep data, png_size_t size) {
                // No exception may pass through libpng: no memory is its error.
                bool noMemory = false;
                try {
                    static_cast<std::string*>(png_get_io_ptr(p))
                        ->append(reinterpret_cast<const char*>(data), size);
                } catch (const std::bad_alloc&) {
                    noMemory = true;
                }
                if (noMemory)
                    png_error(p, "out of memory");
            },
            nullptr);
        // A quick deflate: screenshots of the photographic world map took
        // several times as long to compress at the default level as the
        // program took to start and draw them.
        png_set_compression_level(png, 2);
        png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < h; ++y) {
            const std::uint32_t* src =
                &g_screen.pixels[static_cast<size_t>(y + r.top) * g_screen.width + r.left];
            for (int x = 0; x < w; ++x) {
                row[x * 3] = static_cast<png_byte>(src[x] >> 16);
                row[x * 3 + 1] = static_cast<png_byte>(src[x] >> 8);
                row[x * 3 + 2] = static_cast<png_byte>(src[x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return ok && ob::kernel::WriteFileAtomically(ob::kernel::FromUtf8(path), bytes);
}

void RequestClose() {
    WindowSystem& s = Sys();
    if (!s.desktop) {
        PostQuitMessage(0);
        return;
    }
    // The program's own windows are asked to close, as its Exit would, and
    // the loop ends once they have: the quit message comes after them.
    for (Window* w : s.desktop->children) {
        if (w->owner || (w->exStyle & WS_EX_NOACTIVATE) || !(w->style & WS_VISIBLE))
            continue;
        PostMessage(w->handle, WM_CLOSE, 0, 0);
    }
    PostQuitMessage(0);
}

}  // namespace ob::ui

namespace ob::ui {

void ShowDesktopWindow(const WindowPlacement& place) {
    if (Display* d = Sys().display.get()) {
        d->Show(place);
        if (!d->Interactive())
            return;
        // A plain frame at once while the program makes its windows: the
        // shell's bar over a blank page, as the main window will fill it,
        // rather than an empty window or a flash of the desktop's colour.
        RedrawWindow(nullptr, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const ShellMetrics shell = CurrentShellMetrics();
        if (HDC screen = GetDC(nullptr)) {
            const RECT page{0, shell.navBar, shell.width, shell.height};
            FillRect(screen, &page, GetSysColorBrush(COLOR_WINDOW));
            ReleaseDC(nullptr, screen);
        }
        PaintScreenNow();
    }
}

void PaintScreenNow() {
    const Display* d = Sys().display.get();
    if (!d || !d->Interactive())
        return;
    RedrawWindow(nullptr, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    PresentIfDirty();
}

WindowPlacement DesktopWindowPlacement() {
    Display* d = Sys().display.get();
    return d ? d->Placement() : WindowPlacement{};
}

void RaiseDesktopWindow() {
    if (Display* d = Sys().display.get())
        d->Raise();
}

}  // namespace ob::ui
