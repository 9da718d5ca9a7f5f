// The SDL2 display: the device screen in a desktop window, scaled to fit,
// with the mouse as the stylus and the keyboard as the device's keys.
// Closing the window asks the program to close, as its Exit does. The Print
// Screen key saves the device screen as a PNG file (in the folder named by
// ORBELLINE_SCREENSHOT_DIR, else the current folder).
#include "platform/ui/display/Display.h"
#include "platform/ui/win/WindowSystem.h"

#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <string>

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
    X(SDL_GetDisplayUsableBounds) \
    X(SDL_GetWindowWMInfo)        \
    X(SDL_InitSubSystem)          \
    X(SDL_PollEvent)              \
    X(SDL_QuitSubSystem)          \
    X(SDL_RenderClear)            \
    X(SDL_RenderCopy)             \
    X(SDL_RenderPresent)          \
    X(SDL_RenderSetLogicalSize)   \
    X(SDL_SetHint)                \
    X(SDL_SetRenderDrawColor)     \
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

class SdlDisplay : public Display {
public:
    bool Open(const ScreenMode& mode) {
        m_mode = mode;
        if (!Sdl().loaded)
            return false;
        Sdl().SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        // Plain X images, no GL: the window's pixels are ours.
        Sdl().SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // The program handles the signals that end it itself.
        Sdl().SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // No desktop named at all: SDL would fall back to a driver that shows
        // nothing, and a window nobody can see is no display.
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("SDL_VIDEODRIVER"))
            return false;
        if (Sdl().SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return false;
        // As large as the desktop allows: whole multiples when they fit.
        SDL_Rect usable{0, 0, mode.width, mode.height};
        Sdl().SDL_GetDisplayUsableBounds(0, &usable);
        double fit = std::min(static_cast<double>(usable.w) * 0.9 / mode.width,
                              static_cast<double>(usable.h) * 0.9 / mode.height);
        double scale = fit >= 1.0 ? static_cast<int>(fit) : fit;
        if (mode.dpi > 96 && scale >= 1.0)
            scale = std::max(1.0, scale / 2);  // a VGA screen is already large
        int w = std::max(1, static_cast<int>(mode.width * scale));
        int h = std::max(1, static_cast<int>(mode.height * scale));
        Sdl().SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, scale == static_cast<int>(scale) ? "0" : "1");
        m_window = Sdl().SDL_CreateWindow("Orbelline", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                          SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
        if (!m_window)
            return Fail();
        // The software renderer is plenty for a pocket-sized screen and keeps
        // the GL stack (and its memory) out of the process.
        m_renderer = Sdl().SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
        if (!m_renderer)
            m_renderer = Sdl().SDL_CreateRenderer(m_window, -1, 0);
        if (!m_renderer)
            return Fail();
        // Logical size: letterboxed scaling, and mouse positions in screen pixels.
        Sdl().SDL_RenderSetLogicalSize(m_renderer, mode.width, mode.height);
        m_texture = Sdl().SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                            mode.width, mode.height);
        if (!m_texture)
            return Fail();
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (Sdl().SDL_GetWindowWMInfo(m_window, &info) && info.subsystem == SDL_SYSWM_X11) {
            m_fd = ConnectionNumber(info.info.x11.display);
            EndWhenTheDesktopGoes();
        }
        Sdl().SDL_StopTextInput();
        return true;
    }

    ~SdlDisplay() override {
        if (m_texture)
            Sdl().SDL_DestroyTexture(m_texture);
        if (m_renderer)
            Sdl().SDL_DestroyRenderer(m_renderer);
        if (m_window)
            Sdl().SDL_DestroyWindow(m_window);
        Sdl().SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    void Present(const RECT&) override {
        Sdl().SDL_UpdateTexture(m_texture, nullptr, ScreenPixels(), ScreenStride() * 4);
        Sdl().SDL_SetRenderDrawColor(m_renderer, 40, 40, 40, 255);
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

private:
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
        return POINT{std::clamp(x, 0, m_mode.width - 1), std::clamp(y, 0, m_mode.height - 1)};
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
            else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                     e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                Present(RECT{0, 0, m_mode.width, m_mode.height});
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

    ScreenMode m_mode;
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
