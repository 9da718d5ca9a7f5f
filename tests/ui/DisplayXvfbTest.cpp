// The SDL2 display for real: the platform gallery runs on a virtual X server,
// xdotool clicks a push button on its page, the screen is seen to change
// (through the display's Print Screen shots), and closing the window ends
// the program cleanly. Skipped where Xvfb, xdotool or the gallery is absent.
#include "platform/ui/Windows.h"
#include "platform/ui/testing/UiDriver.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

bool OnPath(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
            const posix_spawn_file_actions_t* actions = nullptr) {
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envStore(extraEnv);
    for (char** e = environ; *e; ++e)
        envStore.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], actions, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    return pid;
}

std::string Shell(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[256];
    while (fgets(buf, sizeof buf, p))
        out += buf;
    pclose(p);
    return out;
}

// Polls `done` every 50 ms for up to `seconds`: the desktop runs in real time.
template <class F>
bool WaitFor(F done, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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

    // A private X server; it reports the display number it picked.
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Child xvfb;
    xvfb.pid = Spawn(
        {"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
        {}, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    ASSERT_GT(xvfb.pid, 0);
    std::string number;
    pollfd pfd{pipeFds[0], POLLIN, 0};
    while (poll(&pfd, 1, 10000) > 0) {
        char c;
        if (read(pipeFds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(pipeFds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start";
    const std::string display = ":" + number;
    const std::string env = "DISPLAY=" + display + " ";

    fs::path shots = fs::temp_directory_path() / ("orbelline_xvfb_" + std::to_string(getpid()));
    fs::remove_all(shots);
    fs::create_directories(shots);
    Child app;
    app.pid = Spawn({gallery, "--screen", "240x320", "--display", "sdl", "--out", shots.string()},
                    {"DISPLAY=" + display, "ORBELLINE_SCREENSHOT_DIR=" + shots.string()});
    ASSERT_GT(app.pid, 0);

    std::string window;
    ASSERT_TRUE(WaitFor(
        [&] {
            window = Shell(env + "xdotool search --onlyvisible --name '^Orbelline$' 2>/dev/null");
            return !window.empty();
        },
        20))
        << "no window appeared";
    window = window.substr(0, window.find('\n'));
    std::string geometry = Shell(env + "xdotool getwindowgeometry --shell " + window);
    int width = std::atoi(geometry.substr(geometry.find("WIDTH=") + 6).c_str());
    ASSERT_GT(width, 0);
    const double scale = width / 240.0;

    auto shot = [&](int n) {
        Shell(env + "xdotool key --window " + window + " Print");
        fs::path p = shots / ("orbelline-screen-" + std::to_string(n) + ".png");
        EXPECT_TRUE(WaitFor([&] { return fs::exists(p) && fs::file_size(p) > 0; }, 10)) << p;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // let the write finish
        return Slurp(p);
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
    EXPECT_TRUE(WaitFor(
        [&] {
            static int n = 2;
            after = shot(n++);
            return after != before;
        },
        10))
        << "the click changed nothing on the screen";

    // Closing the window ends the program, with exit code 0.
    ASSERT_TRUE(SendCloseRequest(display, std::stoul(window)));
    int status = -1;
    bool exited = WaitFor([&] { return waitpid(app.pid, &status, WNOHANG) == app.pid; }, 10);
    EXPECT_TRUE(exited) << "the program kept running after its window was closed";
    if (exited) {
        app.pid = -1;
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    fs::remove_all(shots);
}

}  // namespace
