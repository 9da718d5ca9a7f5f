// The SDL2 display for real: the platform gallery runs on a virtual X server,
// xdotool clicks a push button on its page, the screen is seen to change
// (through the display's Print Screen shots), and closing the window ends
// the program cleanly. Skipped where Xvfb, xdotool or the gallery is absent.
#include "platform/ui/Windows.h"
#include "platform/ui/testing/UiDriver.h"
#include "support/TempFolder.h"
#include "support/XServer.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using ob::test::OnPath;
using ob::test::Shell;
using ob::test::Spawn;
using ob::test::WaitUntil;

// Asks the window to close as a window manager would (WM_DELETE_WINDOW).
// libX11 is opened at run time so the tests need no extra link, and its
// header (whose macros clash with the test framework's) is not needed: the
// client message is laid out here as Xlib lays out XClientMessageEvent.
bool SendCloseRequest(const std::string& display, unsigned long window) {
    struct ClientMessageEvent {
        int type;
        unsigned long serial;
        int sendEvent;
        void* display;
        unsigned long window;
        unsigned long messageType;
        int format;
        long l[5];
    };
    union Event {
        ClientMessageEvent client;
        long pad[24];  // the size of XEvent
    };
    constexpr int kClientMessage = 33;
    void* x11 = dlopen("libX11.so.6", RTLD_NOW);
    if (!x11)
        return false;
    auto open = reinterpret_cast<void* (*)(const char*)>(dlsym(x11, "XOpenDisplay"));
    auto atom = reinterpret_cast<unsigned long (*)(void*, const char*, int)>(dlsym(x11, "XInternAtom"));
    auto send = reinterpret_cast<int (*)(void*, unsigned long, int, long, Event*)>(dlsym(x11, "XSendEvent"));
    auto flush = reinterpret_cast<int (*)(void*)>(dlsym(x11, "XFlush"));
    auto close = reinterpret_cast<int (*)(void*)>(dlsym(x11, "XCloseDisplay"));
    bool ok = false;
    if (open && atom && send && flush && close) {
        if (void* d = open(display.c_str())) {
            Event ev{};
            ev.client.type = kClientMessage;
            ev.client.window = window;
            ev.client.messageType = atom(d, "WM_PROTOCOLS", 0);
            ev.client.format = 32;
            ev.client.l[0] = static_cast<long>(atom(d, "WM_DELETE_WINDOW", 0));
            ok = send(d, window, 0, 0, &ev) != 0;
            flush(d);
            close(d);
        }
    }
    dlclose(x11);
    return ok;
}

struct Child {
    pid_t pid = -1;
    ~Child() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

TEST(DisplayXvfb, GalleryTakesAClickAndClosesLikeExit) {
    const std::string gallery = std::string(ORBELLINE_TEST_BIN_DIR) + "/platform_gallery";
    if (!OnPath("Xvfb") || !OnPath("xdotool") || !fs::exists(gallery))
        GTEST_SKIP() << "needs Xvfb, xdotool and the platform gallery";

    ob::test::XServer server("1024x768x24");
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    const std::string display = server.Display();
    const std::string env = "DISPLAY=" + display + " ";

    const ob::test::TestFolder shotsFolder;
    const fs::path& shots = shotsFolder.Path();
    Child app;
    app.pid = Spawn({gallery, "--screen", "240x320", "--display", "sdl", "--out", shots.string()},
                    {"DISPLAY=" + display, "ORBELLINE_SCREENSHOT_DIR=" + shots.string()});
    ASSERT_GT(app.pid, 0);

    std::string window = server.WaitForWindow("--name '^Orbelline$'");
    ASSERT_FALSE(window.empty()) << "no window appeared";
    std::string geometry = Shell(env + "xdotool getwindowgeometry --shell " + window);
    int width = std::atoi(geometry.substr(geometry.find("WIDTH=") + 6).c_str());
    ASSERT_GT(width, 0);
    const double scale = width / 240.0;

    auto shot = [&](int n) {
        Shell(env + "xdotool key --window " + window + " Print");
        fs::path p = shots / ("orbelline-screen-" + std::to_string(n) + ".png");
        const std::string bytes = ob::test::WaitForPicture(p);
        EXPECT_FALSE(bytes.empty()) << p;
        return bytes;
    };
    std::string before = shot(1);

    // "Push me" on the page: control 1046 at (92,120) 40x14 dialog units,
    // in a full-screen dialog below the navigation bar.
    LONG base = 0;
    {
        ob::ui::testing::UiDriver ui("240x320");
        base = GetDialogBaseUnits();
    }
    int bx = LOWORD(static_cast<DWORD>(base)), by = HIWORD(static_cast<DWORD>(base));
    int x = (92 + 20) * bx / 4;
    int y = 26 + (120 + 7) * by / 8;
    Shell(env + "xdotool mousemove --window " + window + " " + std::to_string(static_cast<int>(x * scale)) +
          " " + std::to_string(static_cast<int>(y * scale)) + " click 1");
    std::string after;
    int n = 2;
    EXPECT_TRUE(WaitUntil(
        [&] {
            after = shot(n++);
            return after != before;
        },
        10'000))
        << "the click changed nothing on the screen";

    // Closing the window ends the program, with exit code 0.
    ASSERT_TRUE(SendCloseRequest(display, std::stoul(window)));
    int status = -1;
    bool exited = WaitUntil([&] { return waitpid(app.pid, &status, WNOHANG) == app.pid; }, 10'000);
    EXPECT_TRUE(exited) << "the program kept running after its window was closed";
    if (exited) {
        app.pid = -1;
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
}

}  // namespace
