// The monkey: starts the whole program on the headless screen and feeds it
// random taps, holds, drags and keys on whatever is showing (views, menus,
// dialogs), with clock jumps and forecast files changing underneath. After
// every event it checks that the program is alive and that its windows,
// device contexts, drawing objects and file descriptors stay bounded.
//
//   monkey EVENTS [SEED]
//
// The same seed gives the same run. On a fault it prints the seed and the
// last events, and exits with status 1.
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "app/AppMainWindow.h"
#include "app/OrbellineApp.h"
#include "app/MenuHandlingCityInfoListView.h"
#include "app/OrbellineMainWindow.h"
#include "app/ViewCommandHandler.h"
#include "model/AppSettings.h"
#include "platform/kernel/AppPaths.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/NamedEvent.h"
#include "platform/kernel/WideText.h"
#include "platform/ui/display/Display.h"
#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/testing/UiDriver.h"

namespace {

using ob::ui::testing::UiDriver;
using namespace OBControls;

constexpr int kWidth = 240, kHeight = 320;
constexpr int kNestedBeforeEscape = 25;  // events inside dialogs and menus before backing out
constexpr int kNestedLimit = 400;        // a loop that will not end after this many is a hang

const UINT kKeys[] = {VK_LEFT,  VK_RIGHT, VK_UP,     VK_DOWN, VK_RETURN, VK_ESCAPE, VK_TAB,
                      VK_SPACE, VK_BACK,  VK_DELETE, VK_HOME, VK_END,    VK_PRIOR,  VK_NEXT,
                      'A',      'L',      'N',       'S',     '1',       '2'};

class Monkey {
public:
    Monkey(int events, unsigned seed) : m_events(events), m_seed(seed), m_random(seed) {}

    int Run() {
        ob::kernel::SetNamedObjectScope("monkey-" + std::to_string(::getpid()));
        WriteSettings();
        if (!Start())
            return Fail("the program did not start");
        ob::ui::SetIdleHandler([this] { return Nested(); });
        m_baseObjects = ob::ui::LiveObjectCount();
        m_baseDCs = ob::ui::LiveDCCount();
        m_baseWindows = CountWindows(nullptr);
        m_baseFds = CountFds();
        for (m_done = 0; m_done < m_events; ++m_done) {
            m_nested = 0;
            OneEvent();
            m_ui.RunUntilIdle();
            if (m_failed)
                return 1;
            if (!Alive() && !Restart())
                return Fail("the program could not be started again after it ended");
            if (!Bounded())
                return 1;
        }
        ob::ui::SetIdleHandler(nullptr);
        Exit();
        std::string seen;
        for (const auto& caption : m_seen)
            seen += (seen.empty() ? "" : ", ") + ob::kernel::ToUtf8(caption);
        std::printf("monkey: waited in %zu windows: %s\n", m_seen.size(), seen.c_str());
        std::printf(
            "monkey: seed %u, %d events, %d restarts, deepest %d nested events; at most %zu windows, "
            "%zu DCs, %zu drawing objects, %zu file descriptors (at the start %zu, %zu, %zu, %zu)\n",
            m_seed, m_events, m_restarts, m_deepest, m_maxWindows, m_maxDCs, m_maxObjects, m_maxFds,
            m_baseWindows, m_baseDCs, m_baseObjects, m_baseFds);
        return 0;
    }

private:
    int Random(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }
    POINT RandomPoint() {
        // A fifth of the taps go to the menu bar row, where the menus are.
        if (Random(5) == 0)
            return POINT{Random(kWidth), kHeight - 1 - Random(24)};
        return POINT{Random(kWidth), Random(kHeight)};
    }
    void Note(const std::string& what) {
        m_last.push_back(std::to_string(m_done) + (m_nested ? "." + std::to_string(m_nested) : "") + " " +
                         what);
        if (m_last.size() > 25)
            m_last.pop_front();
    }

    // One random event. Inside a nested loop (dialog, menu, gesture) the same
    // kinds of event are injected without waiting for them.
    void OneEvent() {
        const int kind = Random(100);
        if (kind < 40) {
            const POINT p = RandomPoint();
            Note("tap " + std::to_string(p.x) + "," + std::to_string(p.y));
            ob::ui::InjectPen(0, p);
            ob::ui::InjectPen(2, p);
        } else if (kind < 48) {
            const POINT p = RandomPoint();
            Note("hold " + std::to_string(p.x) + "," + std::to_string(p.y));
            m_holding = true;
            m_holdPoint = p;
            ob::ui::InjectPen(0, p);
            if (m_nested == 0) {
                m_ui.RunUntilIdle();
                if (m_holding)
                    ReleaseHold();
            }
        } else if (kind < 56) {
            const POINT from = RandomPoint(), to = RandomPoint();
            Note("drag " + std::to_string(from.x) + "," + std::to_string(from.y) + " to " +
                 std::to_string(to.x) + "," + std::to_string(to.y));
            ob::ui::InjectPen(0, from);
            for (int i = 1; i <= 4; ++i)
                ob::ui::InjectPen(1,
                                  POINT{from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4});
            ob::ui::InjectPen(2, to);
        } else if (kind < 82) {
            const UINT key = kKeys[Random(static_cast<int>(std::size(kKeys)))];
            Note("key " + std::to_string(key));
            ob::ui::InjectKey(key, true);
            ob::ui::InjectKey(key, false);
        } else if (kind < 88) {
            const int seconds = Random(4) == 0 ? Random(3 * 86400) : Random(120);
            Note("clock +" + std::to_string(seconds) + " s");
            AdvanceClock(static_cast<ob::kernel::Ticks>(seconds) * ob::kernel::kTicksPerSecond);
        } else if (kind < 92) {
            // A jump to any day of the years 2000 to 2037, back or forth.
            const ob::kernel::Ticks base = 125911584000000000LL;  // 2000-01-01
            const ob::kernel::Ticks to =
                base + static_cast<ob::kernel::Ticks>(Random(38 * 365)) * 86400 * ob::kernel::kTicksPerSecond;
            Note("clock jump to day " + std::to_string((to - base) / ob::kernel::kTicksPerSecond / 86400));
            ob::kernel::UseVirtualClock(to);
        } else if (kind < 94) {
            ChangeForecast();
        } else if (kind < 97 && m_nested == 0) {
            // A menu choice, as a tap on the right menu item would make it.
            const UINT commands[] = {kCmdViewMap,         kCmdViewPlanner,
                                     kCmdViewWeather,     kCmdOptions,
                                     kCmdChangeCities,    kCmdAbout,
                                     kCmdCityInformation, kCmdSetAsHome,
                                     kCmdRemoveCity,      kCmdWeatherDetail,
                                     kCmdUpdateWeather,   kCmdMoveUp,
                                     kCmdMoveDown,        OBControls::kCmdChangeFields};
            const UINT command = commands[Random(static_cast<int>(std::size(commands)))];
            Note("command " + std::to_string(command));
            if (AppMainWindow* main = m_app->GetAppMainWindow(); main && main->GetHandle())
                ::PostMessage(main->GetHandle(), WM_COMMAND, command, 0);
        } else {
            Note("timers 1 s");
            for (int i = 0; i < 10; ++i) {
                ob::kernel::AdvanceVirtualClock(100 * ob::kernel::kTicksPerMillisecond);
                if (m_nested == 0)
                    m_ui.RunUntilIdle();
            }
        }
    }

    void AdvanceClock(ob::kernel::Ticks ticks) { ob::kernel::AdvanceVirtualClock(ticks); }

    void ReleaseHold() {
        m_holding = false;
        ob::kernel::AdvanceVirtualClock(900 * ob::kernel::kTicksPerMillisecond);
        ob::ui::InjectPen(2, m_holdPoint);
    }

    // Called whenever a nested loop waits for the user.
    bool Nested() {
        ++m_nested;
        if (HWND active = ::GetActiveWindow()) {
            wchar_t caption[64] = {};
            ::GetWindowText(active, caption, 63);
            m_seen.insert(caption);
        }
        m_deepest = std::max(m_deepest, m_nested);
        if (m_holding) {
            ReleaseHold();
            return true;
        }
        if (m_nested > kNestedLimit) {
            Fail("a dialog, menu or gesture did not end after " + std::to_string(kNestedLimit) + " events");
            std::fflush(nullptr);
            std::_Exit(1);
        }
        if (m_nested > kNestedBeforeEscape && m_nested % 3 == 0) {
            Note("escape (backing out)");
            ob::ui::InjectKey(VK_ESCAPE, true);
            ob::ui::InjectKey(VK_ESCAPE, false);
            if (m_nested > kNestedBeforeEscape * 4) {
                // Some dialogs end only on their own button: OK, then Cancel.
                if (HWND active = ::GetActiveWindow()) {
                    ::PostMessage(active, WM_COMMAND, m_nested % 2 ? IDOK : IDCANCEL, 0);
                    ::PostMessage(active, WM_CLOSE, 0, 0);
                }
            }
            return true;
        }
        OneEvent();
        return true;
    }

    // A forecast file of a chosen city written, damaged or removed.
    void ChangeForecast() {
        const std::wstring folder = ob::kernel::GetAppPaths().forecastFolder;
        std::filesystem::create_directories(ob::kernel::ToUtf8(folder));
        const int ids[] = {234, 292, 414, 198};
        const int id = ids[Random(4)];
        const std::string path = ob::kernel::ToUtf8(folder) + "/f_" + std::to_string(id) + ".xml";
        const int what = Random(4);
        Note("forecast " + std::to_string(id) +
             (what == 0   ? " removed"
              : what == 1 ? " damaged"
                          : " written"));
        if (what == 0) {
            std::filesystem::remove(path);
            return;
        }
        std::string xml = "<obWeather><forecast><forecastDays>";
        for (int d = 0; d < 8; ++d) {
            xml += "<forecastDay><date><day>" + std::to_string(1 + Random(28)) + "</day><month>" +
                   std::to_string(1 + Random(12)) + "</month><year>" + std::to_string(2000 + Random(38)) +
                   "</year></date><high><temperature><ambient>" + std::to_string(Random(60) - 20) +
                   "</ambient></temperature></high><low><temperature><ambient>" +
                   std::to_string(Random(40) - 30) + "</ambient></temperature></low><icon>" +
                   (Random(2) ? "sunny" : "rain") + "</icon></forecastDay>";
        }
        xml += "</forecastDays></forecast></obWeather>";
        if (what == 1)
            xml.resize(static_cast<std::size_t>(Random(static_cast<int>(xml.size()))));
        std::ofstream(path, std::ios::binary | std::ios::trunc) << xml;
    }

    static void WriteSettings() {
        std::ofstream(ob::kernel::ToUtf8(GetSettingsFilePath()), std::ios::binary | std::ios::trunc)
            << "cities,234;292;414;198;1;2;3\r\ntab,0\r\n";
    }

    bool Start() {
        GetAppSettings() = AppSettings();
        m_app = std::make_unique<OrbellineApp>();
        m_app->SetStartDownloader(false);
        m_app->SetSingleInstance(false);
        if (!m_app->InitInstance())
            return false;
        m_ui.RunUntilIdle();
        return true;
    }
    void Exit() {
        if (!m_app)
            return;
        if (AppMainWindow* main = m_app->GetAppMainWindow(); main && main->GetHandle())
            ::SendMessage(main->GetHandle(), WM_COMMAND, kCmdExit, 0);
        m_app->ExitInstance();
        m_app.reset();
        MSG msg;
        while (::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        m_ui.RunUntilIdle();
    }
    bool Restart() {
        Note("restart");
        ++m_restarts;
        Exit();
        return Start();
    }
    bool Alive() {
        AppMainWindow* main = m_app ? m_app->GetAppMainWindow() : nullptr;
        MSG msg;
        const bool quit = ::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
        return main && main->GetHandle() && ::IsWindow(main->GetHandle()) && !quit;
    }

    static std::size_t CountWindows(HWND parent) {
        std::size_t n = 0;
        for (HWND c = ::GetWindow(parent ? parent : ::GetDesktopWindow(), GW_CHILD); c;
             c = ::GetWindow(c, GW_HWNDNEXT))
            n += 1 + CountWindows(c);
        return n;
    }
    static std::size_t CountFds() {
        std::size_t n = 0;
        if (DIR* dir = ::opendir("/proc/self/fd")) {
            while (::readdir(dir))
                ++n;
            ::closedir(dir);
        }
        return n;
    }

    // Back at the top: nothing may grow without bound.
    bool Bounded() {
        const std::size_t windows = CountWindows(nullptr), dcs = ob::ui::LiveDCCount(),
                          objects = ob::ui::LiveObjectCount(), fds = CountFds();
        m_maxWindows = std::max(m_maxWindows, windows);
        m_maxDCs = std::max(m_maxDCs, dcs);
        m_maxObjects = std::max(m_maxObjects, objects);
        m_maxFds = std::max(m_maxFds, fds);
        if (windows > m_baseWindows + 60)
            return Fail("windows grew from " + std::to_string(m_baseWindows) + " to " +
                        std::to_string(windows));
        if (dcs > m_baseDCs + 32)
            return Fail("device contexts grew from " + std::to_string(m_baseDCs) + " to " +
                        std::to_string(dcs));
        if (objects > m_baseObjects * 2 + 200)
            return Fail("drawing objects grew from " + std::to_string(m_baseObjects) + " to " +
                        std::to_string(objects));
        if (fds > m_baseFds + 16)
            return Fail("file descriptors grew from " + std::to_string(m_baseFds) + " to " +
                        std::to_string(fds));
        return true;
    }

    bool Fail(const std::string& what) {
        m_failed = true;
        std::fprintf(stderr, "monkey: FAULT at event %d (seed %u): %s\nlast events:\n", m_done, m_seed,
                     what.c_str());
        for (const auto& e : m_last)
            std::fprintf(stderr, "  %s\n", e.c_str());
        return false;
    }

    UiDriver m_ui{"240x320"};
    std::unique_ptr<OrbellineApp> m_app;
    int m_events;
    unsigned m_seed;
    std::mt19937 m_random;
    int m_done = 0;
    int m_nested = 0;
    int m_deepest = 0;
    int m_restarts = 0;
    bool m_failed = false;
    bool m_holding = false;
    POINT m_holdPoint{};
    std::deque<std::string> m_last;
    std::set<std::wstring> m_seen;  // captions of the windows that held a nested loop
    std::size_t m_baseObjects = 0, m_baseDCs = 0, m_baseWindows = 0, m_baseFds = 0;
    std::size_t m_maxWindows = 0, m_maxDCs = 0, m_maxObjects = 0, m_maxFds = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const int events = argc > 1 ? std::atoi(argv[1]) : 1000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1u;
    Monkey monkey(events, seed);
    return monkey.Run();
}
