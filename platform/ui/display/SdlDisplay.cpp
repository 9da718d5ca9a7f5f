// The SDL2 display: the device screen is the desktop window. Each screen
// pixel is a square of whole window pixels (one, or more on a desktop that
// asks for a larger scale), so the picture is never blurred; resizing the
// window resizes the screen. The mouse is the stylus and the keyboard the
// device's keys.
// Closing the window asks the program to close, as its Exit does. The Print
// Screen key saves the device screen as a PNG file (in the folder named by
// ORBELLINE_SCREENSHOT_DIR, else the current folder).
#include "platform/ui/display/Display.h"
#include "platform/ui/gdi/Surface.h"
#include "platform/ui/image/ImageCodec.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "platform/ui/win/WindowSystem.h"

#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <string>
#include <vector>

namespace ob::ui {
namespace {

// SDL is loaded when a desktop window is asked for, not at start: a
// headless process (tests, screenshots, the command line) then never maps
// the library and its X11 and audio dependencies.
#define OB_SDL_FUNCTIONS(X)       \
    X(SDL_CreateRenderer)         \
    X(SDL_CreateTexture)          \
    X(SDL_CreateWindow)           \
    X(SDL_DestroyRenderer)        \
    X(SDL_DestroyTexture)         \
    X(SDL_DestroyWindow)          \
    X(SDL_GetCurrentVideoDriver)  \
    X(SDL_GetDisplayUsableBounds) \
    X(SDL_GetRendererOutputSize)  \
    X(SDL_GetWindowPosition)      \
    X(SDL_GetWindowSize)          \
    X(SDL_GetWindowWMInfo)        \
    X(SDL_InitSubSystem)          \
    X(SDL_PollEvent)              \
    X(SDL_QuitSubSystem)          \
    X(SDL_RaiseWindow)            \
    X(SDL_RenderClear)            \
    X(SDL_RenderCopy)             \
    X(SDL_RenderPresent)          \
    X(SDL_RenderSetIntegerScale)  \
    X(SDL_RenderSetLogicalSize)   \
    X(SDL_SetClipboardText)       \
    X(SDL_SetHint)                \
    X(SDL_SetRenderDrawColor)     \
    X(SDL_SetWindowMinimumSize)   \
    X(SDL_SetWindowPosition)      \
    X(SDL_SetWindowSize)          \
    X(SDL_ShowWindow)             \
    X(SDL_StopTextInput)          \
    X(SDL_UpdateTexture)          \
    X(SDL_WaitEventTimeout)

struct SdlApi {
#define OB_SDL_POINTER(name) decltype(&::name) name = nullptr;
    OB_SDL_FUNCTIONS(OB_SDL_POINTER)
#undef OB_SDL_POINTER
    bool loaded = false;

    bool Load() {
        void* lib = ::dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return false;
#define OB_SDL_RESOLVE(name)                                      \
    name = reinterpret_cast<decltype(name)>(::dlsym(lib, #name)); \
    if (!name)                                                    \
        return false;
        OB_SDL_FUNCTIONS(OB_SDL_RESOLVE)
#undef OB_SDL_RESOLVE
        loaded = true;
        return true;
    }
};

SdlApi& Sdl() {
    static SdlApi api;
    static const bool tried = api.Load();
    (void)tried;
    return api;
}

UINT VirtualKeyOf(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z)
        return static_cast<UINT>('A' + (k - SDLK_a));
    if (k >= SDLK_0 && k <= SDLK_9)
        return static_cast<UINT>('0' + (k - SDLK_0));
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9)
        return static_cast<UINT>('1' + (k - SDLK_KP_1));
    if (k >= SDLK_F1 && k <= SDLK_F12)
        return VK_F1 + static_cast<UINT>(k - SDLK_F1);
    switch (k) {
    case SDLK_KP_0: return '0';
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_TAB: return VK_TAB;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
    }
}

// When the X server goes away, Xlib's default handler calls exit(), whose
// clean-up would ask the dead connection to destroy our window and spin for
// ever. The program ends at once instead; its settings were saved when they
// changed.
int OnDesktopLost(::Display*) {
    static const char message[] = "orbelline: the desktop went away\n";
    [[maybe_unused]] const auto written = ::write(2, message, sizeof message - 1);
    ::_exit(1);
}

void EndWhenTheDesktopGoes() {
    using Handler = int (*)(::Display*);
    using SetHandler = Handler (*)(Handler);
    void* x11 = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!x11)
        return;
    if (auto set = reinterpret_cast<SetHandler>(::dlsym(x11, "XSetIOErrorHandler")))
        set(&OnDesktopLost);
    ::dlclose(x11);
}

// The desktop's own scale (a HiDPI desktop asks for 2): whole factors only.
int DesktopScale() {
    for (const char* name : {"GDK_SCALE", "QT_SCALE_FACTOR"})
        if (const char* v = std::getenv(name)) {
            const int scale = std::atoi(v);
            if (scale >= 1 && scale <= 8)
                return scale;
        }
    return 1;
}

// Window pixels per screen pixel: a 96-dpi screen is shown at the desktop's
// scale, a 192-dpi one at half of it (never below one).
int FactorFor(int dpi, int desktopScale) { return std::max(1, (desktopScale * 96 + dpi / 2) / dpi); }

// The X11 side of the window: its class (the desktop groups and names the
// program by it) and its icon at every size the program draws.
void DescribeX11Window(::Display* display, ::Window window) {
    void* x11 = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!x11)
        return;
    using InternAtom = Atom (*)(::Display*, const char*, Bool);
    using ChangeProperty = int (*)(::Display*, ::Window, Atom, Atom, int, int, const unsigned char*, int);
    using SetClassHint = int (*)(::Display*, ::Window, XClassHint*);
    auto intern = reinterpret_cast<InternAtom>(::dlsym(x11, "XInternAtom"));
    auto change = reinterpret_cast<ChangeProperty>(::dlsym(x11, "XChangeProperty"));
    auto setClass = reinterpret_cast<SetClassHint>(::dlsym(x11, "XSetClassHint"));
    if (setClass) {
        char name[] = "orbelline", cls[] = "Orbelline";
        XClassHint hint{name, cls};
        setClass(display, window, &hint);
    }
    // _NET_WM_ICON: width, height, then ARGB pixels (straight alpha), each
    // in a long as Xlib wants 32-bit properties.
    std::vector<long> icon;
    for (UINT id = kProgramIconFirst; id <= kProgramIconLast; ++id) {
        HRSRC res = FindResource(nullptr, MAKEINTRESOURCE(static_cast<int>(id)), L"APPICON");
        if (!res)
            continue;
        const void* bytes = LockResource(LoadResource(nullptr, res));
        auto picture = DecodeImageToSurface(bytes, SizeofResource(nullptr, res));
        if (!picture)
            continue;
        icon.push_back(picture->Width());
        icon.push_back(picture->Height());
        for (int y = 0; y < picture->Height(); ++y)
            for (int x = 0; x < picture->Width(); ++x) {
                const std::uint32_t p = picture->At(x, y);
                const std::uint32_t a = p >> 24;
                auto straight = [a](std::uint32_t c) {
                    return a ? std::min<std::uint32_t>(255, c * 255 / a) : 0;
                };
                icon.push_back(static_cast<long>((a << 24) | (straight((p >> 16) & 255) << 16) |
                                                 (straight((p >> 8) & 255) << 8) | straight(p & 255)));
            }
    }
    if (intern && change && !icon.empty())
        change(display, window, intern(display, "_NET_WM_ICON", False), XA_CARDINAL, 32, PropModeReplace,
               reinterpret_cast<const unsigned char*>(icon.data()), static_cast<int>(icon.size()));
    ::dlclose(x11);
}

class SdlDisplay : public Display {
public:
    bool Open(const ScreenMode& mode) {
        m_asked = mode;
        m_dpi = mode.width > 0 ? mode.dpi : 96;
        m_screen = mode.width > 0 ? mode : ScreenMode{};
        if (!Sdl().loaded)
            return false;
        Sdl().SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        // Plain X images, no GL: the window's pixels are ours.
        Sdl().SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // The program handles the signals that end it itself.
        Sdl().SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // Whole screen pixels, never smoothed.
        Sdl().SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
        // No desktop named at all: SDL would fall back to a driver that shows
        // nothing, and a window nobody can see is no display.
        const auto named = [](const char* name) {
            const char* v = std::getenv(name);
            return v && *v;
        };
        const bool chosenDriver = named("SDL_VIDEODRIVER");
        if (!named("DISPLAY") && !named("WAYLAND_DISPLAY") && !chosenDriver)
            return false;
        // Only the desktop that is named: with an X display that cannot be
        // reached SDL would go on to try others and settle for one that shows
        // nothing, and the program would wait for ever behind no window.
        if (!chosenDriver && !named("WAYLAND_DISPLAY"))
            Sdl().SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        if (!InitVideo())
            return false;
        const char* driver = Sdl().SDL_GetCurrentVideoDriver();
        if (!chosenDriver &&
            (!driver || (std::strcmp(driver, "x11") != 0 && std::strcmp(driver, "wayland") != 0)))
            return false;
        m_scale = DesktopScale();
        // Hidden until Show: the size and place are the settings' to give.
        m_window = Sdl().SDL_CreateWindow(
            "Orbelline", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, m_screen.width, m_screen.height,
            SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
        if (!m_window)
            return Fail();
        // The software renderer is plenty for these screens and keeps the GL
        // stack (and its memory) out of the process.
        m_renderer = Sdl().SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
        if (!m_renderer)
            m_renderer = Sdl().SDL_CreateRenderer(m_window, -1, 0);
        if (!m_renderer || !MakeTexture())
            return Fail();
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (Sdl().SDL_GetWindowWMInfo(m_window, &info) && info.subsystem == SDL_SYSWM_X11) {
            m_fd = ConnectionNumber(info.info.x11.display);
            m_x11Display = info.info.x11.display;
            m_x11Window = info.info.x11.window;
            EndWhenTheDesktopGoes();
        }
        Sdl().SDL_StopTextInput();
        return true;
    }

    ~SdlDisplay() override {
        // SDL that could not be loaded (no memory to map it) has nothing to quit.
        if (!Sdl().loaded)
            return;
        if (m_texture)
            Sdl().SDL_DestroyTexture(m_texture);
        if (m_renderer)
            Sdl().SDL_DestroyRenderer(m_renderer);
        if (m_window)
            Sdl().SDL_DestroyWindow(m_window);
        Sdl().SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    void Show(const WindowPlacement& place) override {
        if (m_shown)
            return;
        m_shown = true;
        if (m_x11Display)
            DescribeX11Window(m_x11Display, m_x11Window);
        SDL_Rect usable{0, 0, 1024, 768};
        Sdl().SDL_GetDisplayUsableBounds(0, &usable);
        // Window units per drawable pixel (a HiDPI desktop where SDL scales
        // for us; 1 on X11).
        int ww = 0, wh = 0, pw = 0, ph = 0;
        Sdl().SDL_GetWindowSize(m_window, &ww, &wh);
        Sdl().SDL_GetRendererOutputSize(m_renderer, &pw, &ph);
        m_pixelRatio = ww > 0 && pw >= ww ? pw / ww : 1;
        int w = 0, h = 0;
        if (m_asked.width > 0) {
            const int f = FactorFor(m_asked.dpi, m_scale);
            w = m_asked.width * f / m_pixelRatio;
            h = m_asked.height * f / m_pixelRatio;
        } else if (!place.Empty()) {
            w = place.width;
            h = place.height;
        } else {
            // Half the desktop's height, portrait, as a pocket device stands.
            h = std::max(usable.h / 2, 320);
            w = h * 3 / 4;
        }
        w = std::min(w, usable.w);
        h = std::min(h, usable.h);
        if (m_asked.width <= 0)
            m_dpi = DensityForScreen(w * m_pixelRatio / m_scale, h * m_pixelRatio / m_scale);
        m_factor = FactorFor(m_dpi, m_scale);
        // A density that follows the size lets the window shrink to the
        // smallest screen at 96 dpi; one given on the command line holds.
        const int leastDpi = m_asked.width <= 0 ? 96 : m_dpi;
        const int least = (kMinScreenSide * leastDpi / 96) * FactorFor(leastDpi, m_scale) / m_pixelRatio;
        Sdl().SDL_SetWindowMinimumSize(m_window, least, least);
        w = std::max(w, least);
        h = std::max(h, least);
        Sdl().SDL_SetWindowSize(m_window, w, h);
        // A kept place that is no longer on the desktop (a screen unplugged)
        // is not used: the window would open out of sight.
        const bool placeOnDesktop = !place.Empty() && place.x + w / 2 >= usable.x &&
                                    place.x + w / 2 < usable.x + usable.w && place.y >= usable.y &&
                                    place.y + h / 4 < usable.y + usable.h;
        if (placeOnDesktop)
            Sdl().SDL_SetWindowPosition(m_window, place.x, place.y);
        else
            Sdl().SDL_SetWindowPosition(m_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        Sdl().SDL_ShowWindow(m_window);
        FollowWindowSize();
    }

    WindowPlacement Placement() const override {
        if (!m_shown)
            return {};
        WindowPlacement p;
        Sdl().SDL_GetWindowPosition(m_window, &p.x, &p.y);
        Sdl().SDL_GetWindowSize(m_window, &p.width, &p.height);
        return p;
    }

    void Raise() override {
        if (m_shown)
            Sdl().SDL_RaiseWindow(m_window);
    }

    void Present(const RECT&) override {
        if (!m_shown || ScreenStride() != m_screen.width)
            return;
        Sdl().SDL_UpdateTexture(m_texture, nullptr, ScreenPixels(), ScreenStride() * 4);
        Sdl().SDL_SetRenderDrawColor(m_renderer, 255, 255, 255, 255);
        Sdl().SDL_RenderClear(m_renderer);
        Sdl().SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
        Sdl().SDL_RenderPresent(m_renderer);
    }

    int InputFd() override { return m_fd; }

    void PumpInput() override {
        SDL_Event e;
        while (Sdl().SDL_PollEvent(&e))
            Handle(e);
    }

    void WaitInput(int timeoutMs) override {
        SDL_Event e;
        if (Sdl().SDL_WaitEventTimeout(&e, timeoutMs < 0 ? 1000 : timeoutMs))
            Handle(e);
    }

    bool Interactive() const override { return true; }
    // SDL holds the X selection for as long as the window lives.
    bool OfferClipboardText(const std::string& text) override {
        return Sdl().SDL_SetClipboardText(text.c_str()) == 0;
    }

private:
    // Video only: no audio, no joysticks. SDL talks to the desktop's D-Bus
    // session when there is one; with none it would start one of its own
    // (dbus-launch), which costs the start its time and outlives the program,
    // so for that moment the session is named as one that cannot be reached.
    static bool InitVideo() {
        const bool noSession = !std::getenv("DBUS_SESSION_BUS_ADDRESS");
        if (noSession)
            ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/orbelline-no-session-bus", 1);
        const bool ok = Sdl().SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        if (noSession)
            ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        return ok;
    }

    // The screen takes the window's size: drawable pixels over the factor.
    void FollowWindowSize() {
        int pw = 0, ph = 0;
        if (Sdl().SDL_GetRendererOutputSize(m_renderer, &pw, &ph) != 0 || pw <= 0 || ph <= 0)
            return;
        // Across the size where the other density is chosen the screen
        // takes it (the program makes again what it drew at the old one).
        if (m_asked.width <= 0) {
            m_dpi = DensityForScreen(pw / m_scale, ph / m_scale);
            m_factor = FactorFor(m_dpi, m_scale);
        }
        const int least = kMinScreenSide * m_dpi / 96;
        const ScreenMode mode{std::clamp(pw / m_factor, least, kMaxScreenSide),
                              std::clamp(ph / m_factor, least, kMaxScreenSide), m_dpi};
        if (mode.width != m_screen.width || mode.height != m_screen.height || mode.dpi != m_screen.dpi) {
            m_screen = mode;
            if (!MakeTexture())
                return;
            ResizeScreen(mode);
        }
        Present(RECT{0, 0, m_screen.width, m_screen.height});
    }

    bool MakeTexture() {
        if (m_texture)
            Sdl().SDL_DestroyTexture(m_texture);
        // Logical size: whole-factor scaling, and mouse positions in screen pixels.
        Sdl().SDL_RenderSetLogicalSize(m_renderer, m_screen.width, m_screen.height);
        Sdl().SDL_RenderSetIntegerScale(m_renderer, SDL_TRUE);
        m_texture = Sdl().SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                            m_screen.width, m_screen.height);
        return m_texture != nullptr;
    }

    bool Fail() {
        if (m_texture)
            Sdl().SDL_DestroyTexture(m_texture);
        if (m_renderer)
            Sdl().SDL_DestroyRenderer(m_renderer);
        if (m_window)
            Sdl().SDL_DestroyWindow(m_window);
        m_texture = nullptr;
        m_renderer = nullptr;
        m_window = nullptr;
        return false;
    }

    POINT Clamp(int x, int y) const {
        return POINT{std::clamp(x, 0, m_screen.width - 1), std::clamp(y, 0, m_screen.height - 1)};
    }

    void Handle(const SDL_Event& e) {
        switch (e.type) {
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button == SDL_BUTTON_LEFT) {
                m_down = true;
                InjectPen(0, Clamp(e.button.x, e.button.y));
            }
            break;
        case SDL_MOUSEMOTION:
            if (m_down)
                InjectPen(1, Clamp(e.motion.x, e.motion.y));  // a stylus does not hover
            break;
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT && m_down) {
                m_down = false;
                InjectPen(2, Clamp(e.button.x, e.button.y));
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            if (e.key.keysym.sym == SDLK_PRINTSCREEN) {
                if (e.type == SDL_KEYDOWN)
                    SaveShot();
                break;
            }
            UINT vk = VirtualKeyOf(e.key.keysym.sym);
            if (vk) {
                InjectKey(vk, e.type == SDL_KEYDOWN);
            } else if (e.type == SDL_KEYDOWN && e.key.keysym.sym > 0 && e.key.keysym.sym < 0x7F &&
                       !(e.key.keysym.mod & (KMOD_CTRL | KMOD_ALT))) {
                // Punctuation has no key of its own here: it arrives as its character.
                wchar_t ch = static_cast<wchar_t>(e.key.keysym.sym);
                InjectChar(ch);
            }
            break;
        }
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE)
                Close();
            else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                FollowWindowSize();
            else if (e.window.event == SDL_WINDOWEVENT_EXPOSED)
                Present(RECT{0, 0, m_screen.width, m_screen.height});
            break;
        case SDL_QUIT: Close(); break;
        default: break;
        }
    }

    void Close() {
        if (m_closing)
            return;  // the window's close and SDL's quit come together
        m_closing = true;
        RequestClose();
    }

    void SaveShot() {
        const char* dir = std::getenv("ORBELLINE_SCREENSHOT_DIR");
        std::string base = dir && *dir ? std::string(dir) + "/" : std::string();
        std::string path = base + "orbelline-screen-" + std::to_string(++m_shots) + ".png";
        SaveScreenshot(path);
    }

    ScreenMode m_asked;   // from the command line; width 0: chosen from the window
    ScreenMode m_screen;  // the screen as the window shows it now
    int m_dpi = 96;       // chosen from the window's size (or given), kept while it is
    int m_scale = 1;      // the desktop's scale
    int m_factor = 1;     // window pixels per screen pixel
    int m_pixelRatio = 1;
    bool m_shown = false;
    ::Display* m_x11Display = nullptr;
    ::Window m_x11Window = 0;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    int m_fd = -1;
    bool m_down = false;
    int m_shots = 0;
    bool m_closing = false;
};

}  // namespace

std::unique_ptr<Display> MakeSdlDisplay(const ScreenMode& mode) {
    auto d = std::make_unique<SdlDisplay>();
    if (!d->Open(mode))
        return nullptr;
    return d;
}

}  // namespace ob::ui
