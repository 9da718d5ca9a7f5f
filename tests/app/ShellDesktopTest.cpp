// The real window on an X server: Xvfb runs the desktop, xdotool is the
// user. Start the program, tap a city row, open the City menu, choose Remove,
// answer Yes and exit: the settings file no longer holds that city.
#include <gtest/gtest.h>

#include "platform/ui/gdi/Surface.h"
#include "platform/ui/image/ImageCodec.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

bool OnPath(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {}) {
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    for (const auto& e : extraEnv)
        env.push_back(e);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    return pid;
}

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p))
            out += buf;
        ::pclose(p);
    }
    return out;
}

// Waits for a condition that another process brings about, up to a limit.
template <class F>
bool WaitFor(F done, int limitMs) {
    for (int waited = 0; waited < limitMs; waited += 50) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

// Whether the child ended; its status in `status`.
bool Ended(pid_t pid, int& status) { return ::waitpid(pid, &status, WNOHANG) == pid; }

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Ends the processes the test started, however the test ends.
struct Reaper {
    std::vector<pid_t> pids;
    ~Reaper() {
        for (auto it = pids.rbegin(); it != pids.rend(); ++it) {
            if (::kill(*it, SIGKILL) == 0)
                ::waitpid(*it, nullptr, 0);
        }
    }
};

// A private app folder and an X server, the program started in them, and
// the user's hands: taps in device pixels and keys.
class Desktop {
public:
    // False (with the reason in `skip`) when the tools are missing.
    bool Available(std::string& skip) const {
        if (!fs::exists(Program()) || !OnPath("Xvfb") || !OnPath("xdotool")) {
            skip = "needs the orbelline program, Xvfb and xdotool";
            return false;
        }
        return true;
    }
    static fs::path Program() { return fs::path(ORBELLINE_APP_DIR) / "orbelline"; }

    // Makes the folder (with `settings` as its settings file unless empty),
    // starts Xvfb and the program, and finds its window. The window opens at
    // the pocket screen's size unless `args` say otherwise.
    void Start(const std::string& name, const std::string& settings,
               const std::vector<std::string>& args = {"--screen", "240x320"}) {
        // The user's hands run on fixed pauses, so the desktop tests take
        // turns rather than share the machine with one another.
        turn.fd = ::open((fs::path(ORBELLINE_APP_DIR) / "desktop-tests.lock").c_str(),
                         O_CREAT | O_RDWR | O_CLOEXEC, 0600);
        if (turn.fd >= 0)
            ::flock(turn.fd, LOCK_EX);
        // A private app folder: its own settings file and single-instance lock.
        folder = fs::temp_directory_path() / ("orbelline-" + name + "-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy_file(Program(), folder / "orbelline");
        if (!settings.empty())
            std::ofstream(folder / "settings.csv") << settings;

        // A private X server; it reports the display number it picked, so two
        // tests never share one.
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        const pid_t xvfb = Spawn({"Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0", "800x800x24",
                                  "-nolisten", "tcp"});
        ::close(ends[1]);
        ASSERT_GT(xvfb, 0);
        reaper.pids.push_back(xvfb);
        std::string number;
        pollfd ready{ends[0], POLLIN, 0};
        for (char c; ::poll(&ready, 1, 10000) > 0 && ::read(ends[0], &c, 1) == 1 && c != '\n';)
            number += c;
        ::close(ends[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        const std::string display = ":" + number;
        env = "DISPLAY=" + display;
        ASSERT_NO_FATAL_FAILURE(Launch(args));
    }

    // Starts the program (again) in the folder and finds its window.
    void Launch(const std::vector<std::string>& args) {
        std::vector<std::string> command{(folder / "orbelline").string()};
        command.insert(command.end(), args.begin(), args.end());
        app = Spawn(command, {env, "ORBELLINE_SCREENSHOT_DIR=" + folder.string()});
        ASSERT_GT(app, 0);
        reaper.pids.push_back(app);
        ASSERT_TRUE(WaitFor(
            [&] {
                window = Shell(env + " xdotool search --classname orbelline 2>/dev/null | head -n1");
                return !window.empty();
            },
            10000))
            << "no window";
        window.erase(window.find_last_not_of(" \n") + 1);
        // The device screen is shown scaled: find the factor from the window's width.
        const std::string geometry = Shell(env + " xdotool getwindowgeometry " + window);
        const auto [width, height] = WindowSize();
        ASSERT_GT(width, 0);
        scale = width / 240.0;
        Pause(2000);  // the first frame is up
    }

    std::pair<int, int> WindowSize() const {
        const std::string geometry = Shell(env + " xdotool getwindowgeometry " + window);
        int width = 0, height = 0;
        if (const auto at = geometry.find("Geometry: "); at != std::string::npos)
            std::sscanf(geometry.c_str() + at + 10, "%dx%d", &width, &height);
        return {width, height};
    }

    // The program's own picture of its screen (the Print key), read back.
    std::unique_ptr<ob::ui::Surface> Shoot() {
        Keys("Print");
        const fs::path shot = folder / ("orbelline-screen-" + std::to_string(++shots) + ".png");
        WaitFor([&] { return fs::exists(shot); }, 5000);
        return ob::ui::LoadImageFileToSurface(shot.string());
    }

    // The program has nothing to tell the user's hands when it is done, so
    // they wait: longer when the machine has more to run than it has cores.
    static void Pause(int ms) {
        double load = 0;
        if (FILE* f = std::fopen("/proc/loadavg", "r")) {
            if (std::fscanf(f, "%lf", &load) != 1)
                load = 0;
            std::fclose(f);
        }
        const double busy = load / std::max(1L, ::sysconf(_SC_NPROCESSORS_ONLN));
        std::this_thread::sleep_for(
            std::chrono::milliseconds(static_cast<int>(ms * std::clamp(busy, 1.0, 4.0))));
    }

    void Tap(int x, int y) {
        Shell(env + " xdotool mousemove --window " + window + " " +
              std::to_string(static_cast<int>(x * scale)) + " " +
              std::to_string(static_cast<int>(y * scale)) + " click 1");
        Pause(700);
    }
    void Keys(const std::string& names) {
        Shell(env + " xdotool key --window " + window + " --delay 120 " + names + " 2>/dev/null");
        Pause(700);
    }
    // Waits for the program to end; its settings file is then in `settings`.
    bool WaitForEnd(int& status) {
        const bool ended = WaitFor([&] { return Ended(app, status); }, 10000);
        if (ended)
            reaper.pids.pop_back();
        settings = ReadFile(folder / "settings.csv");
        return ended;
    }
    ~Desktop() {
        if (!folder.empty())
            fs::remove_all(folder);
    }

    fs::path folder;
    std::string env, window, settings;
    double scale = 1;
    int shots = 0;
    pid_t app = -1;
    // Released after the reaper (declared later, so destroyed first) has
    // ended the X server and the program.
    struct Turn {
        int fd = -1;
        ~Turn() {
            if (fd >= 0)
                ::close(fd);
        }
    } turn;
    Reaper reaper;
};

TEST(ShellDesktop, TapRowRemoveWithYesAndExitUnderXvfb) {
    Desktop desktop;
    std::string skip;
    if (!desktop.Available(skip))
        GTEST_SKIP() << skip;
    ASSERT_NO_FATAL_FAILURE(desktop.Start("desktop", "cities,1;2;3\r\ntab,0\r\nweatherupdatewarning,0\r\n"));

    desktop.Tap(60, 26 + 120 + 45);  // the second city's row: below the navigation bar and the map
    desktop.Tap(80, 307);            // "City" on the menu bar
    desktop.Keys("Down Down Down Down Return");  // Information, Weather Detail, Set as Home, Remove
    desktop.Keys("Return");                      // Yes
    desktop.Tap(14, 307);                        // "File"
    desktop.Keys("Down Down Return");            // About, Exit

    int status = 0;
    ASSERT_TRUE(desktop.WaitForEnd(status)) << "the program did not exit";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(desktop.settings.find("cities,1;3\r\n"), std::string::npos) << desktop.settings;
}

// The city a settings file holds, or "" when it holds none or several.
std::string OneStoredCity(const std::string& settings) {
    const auto at = settings.find("cities,");
    if (at == std::string::npos)
        return "";
    const auto end = settings.find("\r\n", at);
    const std::string value = settings.substr(at + 7, end - at - 7);
    const bool digits = !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
    return digits ? value : "";
}

// A new user: no settings file, so the Home City dialog is up at the start;
// Return takes the city shown, and the program ends by File > Exit or by
// SIGTERM: either way the settings file holds that city.
TEST(ShellDesktop, NewUserChoosesTheHomeCityWithReturnAndBothExitAndSigtermKeepItUnderXvfb) {
    std::string chosen[2];
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "File > Exit" : "SIGTERM");
        Desktop desktop;
        std::string skip;
        if (!desktop.Available(skip))
            GTEST_SKIP() << skip;
        ASSERT_NO_FATAL_FAILURE(desktop.Start(run == 0 ? "newuser-exit" : "newuser-term", ""));
        desktop.Keys("Return");  // OK in the Home City dialog
        if (run == 0) {
            desktop.Tap(14, 307);              // "File"
            desktop.Keys("Down Down Return");  // About, Exit
        } else {
            ::kill(desktop.app, SIGTERM);
        }
        int status = 0;
        ASSERT_TRUE(desktop.WaitForEnd(status)) << "the program did not exit";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        chosen[run] = OneStoredCity(desktop.settings);
        EXPECT_NE(chosen[run], "") << desktop.settings;
    }
    EXPECT_EQ(chosen[0], chosen[1]);
}

// A first start offers the city of the machine's zone: Return and File >
// Exit leave Tokyo (TZ=Asia/Tokyo) or Sao Paulo (TZ=America/Sao_Paulo) home.
TEST(ShellDesktop, FirstStartOffersTheCityOfTheMachinesZoneUnderXvfb) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    for (const auto& [zone, id] : {std::pair{"Asia/Tokyo", "429"}, std::pair{"America/Sao_Paulo", "381"}}) {
        SCOPED_TRACE(zone);
        Desktop desktop;
        std::string skip;
        if (!desktop.Available(skip))
            GTEST_SKIP() << skip;
        ::setenv("TZ", zone, 1);
        ASSERT_NO_FATAL_FAILURE(desktop.Start("zone", ""));
        desktop.Keys("Return");            // OK in the Home City dialog
        desktop.Tap(14, 307);              // "File"
        desktop.Keys("Down Down Return");  // About, Exit
        int status = 0;
        ASSERT_TRUE(desktop.WaitForEnd(status)) << "the program did not exit";
        EXPECT_EQ(OneStoredCity(desktop.settings), id) << desktop.settings;
    }
    if (old)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
}

// The desktop's own keys reach the program: Ctrl+2 for the planner, Ctrl+C
// puts its list on the desktop's clipboard, Alt alone for the menu bar with
// the arrows through View to Weather, F10 and Escape open and close it
// again, Ctrl+Q exits.
TEST(ShellDesktop, KeyboardSwitchesViewsThroughTheMenusAndExitsUnderXvfb) {
    Desktop desktop;
    std::string skip;
    if (!desktop.Available(skip))
        GTEST_SKIP() << skip;
    ASSERT_NO_FATAL_FAILURE(desktop.Start("keyboard", "cities,1;2;3\r\ntab,0\r\nweatherupdatewarning,0\r\n"));

    desktop.Keys("ctrl+2");
    desktop.Keys("ctrl+c");
    if (OnPath("xclip")) {
        const std::string copied = Shell(desktop.env + " xclip -o -selection clipboard 2>/dev/null");
        EXPECT_EQ(copied.rfind("Planned for 12:00", 0), 0u) << copied;
        EXPECT_NE(copied.find("City "), std::string::npos) << copied;
    }
    desktop.Keys("Alt_L");                   // File opens, About highlighted
    desktop.Keys("Right Down Down Return");  // View: World Map, Time Planner, Weather
    desktop.Keys("F10 Escape");              // opened and closed again: nothing chosen
    desktop.Keys("ctrl+q");

    int status = 0;
    ASSERT_TRUE(desktop.WaitForEnd(status)) << "the program did not exit";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(desktop.settings.find("tab,2\r\n"), std::string::npos) << desktop.settings;
}

// The screen is the window. The first start opens at half the desktop's
// height, portrait; the desktop then resizes the window to both orientations
// and after each the program's own picture is the window's size (no bars,
// nothing stretched) with the map 2:1 across the top; a dialog opened after
// the last size fits it; after Exit the next start opens at that size.
TEST(ShellDesktop, ResizedWindowResizesTheScreenAndKeepsItsSizeUnderXvfb) {
    Desktop desktop;
    std::string skip;
    if (!desktop.Available(skip))
        GTEST_SKIP() << skip;
    ASSERT_NO_FATAL_FAILURE(
        desktop.Start("resize", "cities,1;2;3\r\ntab,0\r\nweatherupdatewarning,0\r\n", {}));
    EXPECT_EQ(desktop.WindowSize(), (std::pair{300, 400}));

    const COLORREF white = 0xFFFFFF;
    const int bar = 26;  // the navigation bar at 96 dpi
    for (const auto& [w, h] : {std::pair{560, 340}, std::pair{300, 600}, std::pair{640, 480}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        Shell(desktop.env + " xdotool windowsize " + desktop.window + " " + std::to_string(w) + " " +
              std::to_string(h));
        Desktop::Pause(700);
        const auto shot = desktop.Shoot();
        ASSERT_TRUE(shot);
        EXPECT_EQ(shot->Width(), w);
        EXPECT_EQ(shot->Height(), h);
        const int client = h - 2 * bar;
        const int mapHeight = std::min(client / 2, w / 2), mapWidth = 2 * mapHeight;
        // The map's middle row: picture inside the map, the view's white beside it.
        const int y = bar + mapHeight / 2;
        EXPECT_NE(shot->At(w / 2, y) & 0xFFFFFF, white);
        if (mapWidth + 4 < w) {
            EXPECT_EQ(shot->At((w - mapWidth) / 2 - 2, y) & 0xFFFFFF, white);
        }
    }
    desktop.Keys("Alt_L Left Return");  // Tools > Options...
    const auto dialog = desktop.Shoot();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->Width(), 640);
    // The page lost the map: the dialog covers the screen below the bar.
    EXPECT_EQ(dialog->At(320, bar + 60) & 0xFFFFFF, white);
    desktop.Keys("Escape ctrl+q");
    int status = 0;
    ASSERT_TRUE(desktop.WaitForEnd(status)) << "the program did not exit";
    EXPECT_NE(desktop.settings.find(" 640 480\r\n"), std::string::npos) << desktop.settings;

    ASSERT_NO_FATAL_FAILURE(desktop.Launch({}));
    EXPECT_EQ(desktop.WindowSize(), (std::pair{640, 480}));
}

// A second start says it brought the running one forward. A desktop that
// cannot be reached ends the program with one line and status 1 (it used to
// wait for ever) and leaves the single-instance lock free: the start after
// it opens its window.
TEST(ShellDesktop, SecondStartSaysSoAndAnUnreachableDesktopEndsAtOnceUnderXvfb) {
    Desktop desktop;
    std::string skip;
    if (!desktop.Available(skip))
        GTEST_SKIP() << skip;
    ASSERT_NO_FATAL_FAILURE(desktop.Start("unreachable", "cities,1\r\n"));
    const std::string program = (desktop.folder / "orbelline").string();
    EXPECT_NE(Shell(desktop.env + " " + program + " 2>&1; echo status $?").find("to the front\nstatus 0"),
              std::string::npos);
    desktop.Keys("ctrl+q");
    int status = 0;
    ASSERT_TRUE(desktop.WaitForEnd(status)) << "the program did not exit";

    const pid_t lost = Spawn({"env", "-u", "WAYLAND_DISPLAY", "DISPLAY=:64999", program});
    ASSERT_GT(lost, 0);
    desktop.reaper.pids.push_back(lost);
    ASSERT_TRUE(WaitFor([&] { return Ended(lost, status); }, 5000)) << "still waiting for the desktop";
    desktop.reaper.pids.pop_back();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    ASSERT_NO_FATAL_FAILURE(desktop.Launch({"--screen", "240x320"}));
}

}  // namespace
