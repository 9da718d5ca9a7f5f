// The real window on an X server: Xvfb runs the desktop, xdotool is the
// user. Start the program, tap a city row, open the City menu, choose Remove,
// answer Yes and exit: the settings file no longer holds that city.
#include <gtest/gtest.h>

#include "platform/ui/gdi/Surface.h"
#include "platform/ui/image/ImageCodec.h"
#include "support/TempFolder.h"
#include "support/XServer.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using ob::test::OnPath;
using ob::test::Shell;
using ob::test::Spawn;
using ob::test::WaitUntil;

// Whether the child ended; its status in `status`.
bool Ended(pid_t pid, int& status) { return ::waitpid(pid, &status, WNOHANG) == pid; }

// A private app folder and an X server, the program started in them, and
// the user's hands: taps in device pixels and keys. After each the hands
// wait until the program has done all it brings about (see Settle).
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
        // A private app folder: its own settings file and single-instance lock.
        folder = fs::temp_directory_path() / ("orbelline-" + name + "-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy_file(Program(), folder / "orbelline");
        if (!settings.empty())
            std::ofstream(folder / "settings.csv") << settings;
        // Its own runtime folder too, so its single-instance lock and knocks
        // meet no program of another test.
        const fs::path runtime = folder / "runtime";
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        server = std::make_unique<ob::test::XServer>("800x800x24");
        ASSERT_TRUE(server->Running()) << "Xvfb did not start";
        env = server->Env() + " XDG_RUNTIME_DIR=" + runtime.string();
        ASSERT_NO_FATAL_FAILURE(Launch(args));
    }

    // Starts the program (again) in the folder, finds its window and waits
    // until it waits for the user.
    void Launch(const std::vector<std::string>& args) {
        std::vector<std::string> command{(folder / "orbelline").string()};
        command.insert(command.end(), args.begin(), args.end());
        // A new process counts its pictures from 1 again.
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().rfind("orbelline-screen-", 0) == 0)
                fs::remove(entry.path());
        // xdotool presses keys as the desktop's own (the window has the
        // focus), and a press whose window went away half-way stays down: the
        // new window would get it, repeated.
        if (!used.empty()) {
            std::string keys;
            for (const std::string& key : used)
                keys += " " + key;
            Shell(env + " xdotool keyup" + keys + " 2>/dev/null");
        }
        app = Spawn(command, {server->Env(), "XDG_RUNTIME_DIR=" + (folder / "runtime").string(),
                              "ORBELLINE_SCREENSHOT_DIR=" + folder.string()});
        ASSERT_GT(app, 0);
        ended = false;
        shots = 0;
        // This process's window: the one of an instance that just ended may
        // still be there a moment.
        window = server->WaitForWindow("--pid " + std::to_string(app) + " --classname orbelline");
        ASSERT_FALSE(window.empty()) << "no window";
        // The device screen is shown scaled: find the factor from the window's width.
        const auto [width, height] = WindowSize();
        ASSERT_GT(width, 0);
        scale = width / 240.0;
        ASSERT_TRUE(Settle()) << (Exited() ? "the program ended, status " + std::to_string(status)
                                           : "the program never waited for the user");
    }

    std::pair<int, int> WindowSize() const {
        const std::string geometry = Shell(env + " xdotool getwindowgeometry " + window);
        int width = 0, height = 0;
        if (const auto at = geometry.find("Geometry: "); at != std::string::npos)
            std::sscanf(geometry.c_str() + at + 10, "%dx%d", &width, &height);
        return {width, height};
    }

    // Waits until the program has handled everything sent to it so far and
    // has nothing left to do, and returns its picture of the screen then.
    // The display reads the desktop's events only while the program is idle,
    // and saves a picture for the Print key as it reads it: once the picture
    // for a first Print is there, whatever came before it has been read;
    // once the one for a second Print (sent after) is there, the program has
    // been idle again, so it has done all that came before the first. Null
    // when the program ended or the picture never came.
    std::unique_ptr<ob::ui::Surface> Settle() {
        std::string bytes;
        for (int i = 0; i < 2; ++i) {
            used.insert("Print");
            Shell(env + " xdotool key --window " + window + " Print 2>/dev/null");
            const fs::path shot = folder / ("orbelline-screen-" + std::to_string(++shots) + ".png");
            WaitUntil([&] { return fs::exists(shot) || Exited(); }, 20'000);
            bytes = Exited() ? std::string() : ob::test::WaitForPicture(shot);
            if (bytes.empty())
                return nullptr;
        }
        const fs::path last = folder / ("orbelline-screen-" + std::to_string(shots) + ".png");
        return ob::ui::LoadImageFileToSurface(last.string());
    }
    // The program's own picture of its screen (the Print key), once it is idle.
    std::unique_ptr<ob::ui::Surface> Shoot() { return Settle(); }

    void Tap(int x, int y) {
        Shell(env + " xdotool mousemove --window " + window + " " +
              std::to_string(static_cast<int>(x * scale)) + " " +
              std::to_string(static_cast<int>(y * scale)) + " click 1");
        Settle();
    }
    void Keys(const std::string& names) {
        std::istringstream combos(names);
        for (std::string combo; combos >> combo;)
            for (std::size_t from = 0, plus; from <= combo.size(); from = plus + 1) {
                plus = std::min(combo.find('+', from), combo.size());
                used.insert(combo.substr(from, plus - from));
            }
        Shell(env + " xdotool key --window " + window + " " + names + " 2>/dev/null");
        Settle();
    }
    // Whether the program has ended; its status is then in `status`.
    bool Exited() {
        if (!ended && app > 0 && Ended(app, status)) {
            ended = true;
            app = -1;
        }
        return ended;
    }
    // Waits for the program to end; its settings file is then in `settings`.
    bool WaitForEnd(int& endStatus) {
        const bool done = WaitUntil([&] { return Exited(); }, 20'000);
        endStatus = status;
        settings = ob::test::ReadBytes((folder / "settings.csv").string());
        return done;
    }
    ~Desktop() {
        if (app > 0 && ::kill(app, SIGKILL) == 0)
            ::waitpid(app, nullptr, 0);
        server.reset();
        if (!folder.empty())
            fs::remove_all(folder);
    }

    fs::path folder;
    std::string env, window, settings;
    double scale = 1;
    int shots = 0;
    pid_t app = -1;
    bool ended = false;
    int status = 0;
    std::unique_ptr<ob::test::XServer> server;
    std::set<std::string> used;  // every key the hands have pressed
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
// nothing stretched) with the map 2:1 across the top, at 192 dpi once the
// window is large enough for it; a dialog opened after the last size fits
// it; after Exit the next start opens at that size.
TEST(ShellDesktop, ResizedWindowResizesTheScreenAndKeepsItsSizeUnderXvfb) {
    Desktop desktop;
    std::string skip;
    if (!desktop.Available(skip))
        GTEST_SKIP() << skip;
    ASSERT_NO_FATAL_FAILURE(
        desktop.Start("resize", "cities,1;2;3\r\ntab,0\r\nweatherupdatewarning,0\r\n", {}));
    EXPECT_EQ(desktop.WindowSize(), (std::pair{300, 400}));

    const COLORREF white = 0xFFFFFF;
    int bar = 26;  // the navigation bar at 96 dpi
    for (const auto& [w, h] : {std::pair{560, 340}, std::pair{300, 600}, std::pair{640, 480}}) {
        // 480 pixels each way and more: the screen takes 192 dpi.
        bar = w >= 480 && h >= 480 ? 52 : 26;
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        Shell(desktop.env + " xdotool windowsize " + desktop.window + " " + std::to_string(w) + " " +
              std::to_string(h));
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
    const std::string said = Shell(desktop.env + " " + program + " 2>&1; echo status $?");
    EXPECT_NE(said.find("to the front\nstatus 0"), std::string::npos) << said;
    desktop.Keys("ctrl+q");
    int status = 0;
    ASSERT_TRUE(desktop.WaitForEnd(status)) << "the program did not exit";

    const pid_t lost = Spawn({"env", "-u", "WAYLAND_DISPLAY", "DISPLAY=:64999",
                              "XDG_RUNTIME_DIR=" + (desktop.folder / "runtime").string(), program});
    ASSERT_GT(lost, 0);
    if (!WaitUntil([&] { return Ended(lost, status); }, 5000)) {
        ::kill(lost, SIGKILL);
        ::waitpid(lost, nullptr, 0);
        FAIL() << "still waiting for the desktop";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    ASSERT_NO_FATAL_FAILURE(desktop.Launch({"--screen", "240x320"}));
}

}  // namespace
