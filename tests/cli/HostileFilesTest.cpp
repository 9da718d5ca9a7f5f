// The real program in a temporary app folder, given files and limits that a
// careless or hostile party could arrange: it must neither hang, crash nor
// keep quiet about what it could not do.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "support/RunProgram.h"
#include "support/XServer.h"

using ob::test::AppFolder;
using ob::test::ProgramResult;
using ob::test::ReadBytes;
using ob::test::WriteBytes;

namespace {

// The page template and the icons beside the copied program, and one
// forecast day for the home city (234) whose icon is `icon`.
void AddWeather(const AppFolder& app, const std::string& icon, const std::string& conditions = "Rain") {
    namespace fs = std::filesystem;
    const fs::path from = fs::path(ORBELLINE_APP_DIR) / "weather";
    const fs::path to = app.Folder().Path() / "weather";
    fs::create_directories(to / "data");
    fs::copy(from / "html", to / "html", fs::copy_options::recursive);
    fs::copy(from / "images_3", to / "images_3", fs::copy_options::recursive);
    WriteBytes((to / "data" / "f_234.xml").string(),
               "<obWeather><forecast><forecastDays><forecastDay><date><day>9</day><month>12</month>"
               "<year>2026</year></date><high><temperature><ambient>7</ambient><units>0</units>"
               "</temperature></high><dayPart><display><icon>" +
                   icon + "</icon><conditions>" + conditions +
                   "</conditions></display></dayPart></forecastDay></forecastDays></forecast></obWeather>");
}

ProgramResult ShootWeatherPage(const AppFolder& app, const std::vector<std::string>& env = {}) {
    return app.Run({"--headless", "--screenshot", app.Folder().File("page.png"), "--dialog", "weather",
                    "--at", "2026-12-09T12:00:00Z"},
                   env);
}

}  // namespace

TEST(HostileFiles, AnIconNameIsNeverAPathSoAPipeCannotHangTheDetailPage) {
    AppFolder app;
    WriteBytes(app.Settings(), "cities,234\r\n");
    const std::string pipe = app.Folder().File("fifo");
    ASSERT_EQ(::mkfifo((pipe + ".png").c_str(), 0600), 0);
    AddWeather(app, "../../../../../../../../../../../.." + pipe);
    const ProgramResult r = ShootWeatherPage(app);
    EXPECT_FALSE(r.timedOut) << "the page opened the pipe";
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST(HostileFiles, LowMemoryNeverCrashesTheProgramItStartsOrSaysItCannot) {
    // From ample address space down to where the loader cannot map the
    // libraries: every run ends by exiting (0, or 1 with a reason), never by
    // a signal, on the map and on the weather detail page.
    AppFolder app;
    WriteBytes(app.Settings(), "cities,234;292;414\r\n");
    AddWeather(app, "rain", std::string(3000, 'w'));
    int starved = 0;
    for (rlim_t mb = 64; mb >= 8; mb -= 2) {
        app.LimitAddressSpace(mb << 20);
        bool loaderFailed = false;
        for (const char* dialog : {"", "weather"}) {
            std::vector<std::string> args = {"--headless",
                                             "--screenshot",
                                             app.Folder().File("low.png"),
                                             "--view",
                                             *dialog ? "weather" : "map",
                                             "--at",
                                             "2026-12-09T12:00:00Z"};
            if (*dialog)
                args.insert(args.end(), {"--dialog", dialog});
            const ProgramResult r = app.Run(args);
            const std::string what = std::to_string(mb) + " MB " + (*dialog ? "page" : "map") + ": " + r.err;
            ASSERT_FALSE(r.timedOut) << what;
            ASSERT_EQ(r.signal, 0) << what;
            loaderFailed = loaderFailed || r.status == 127;
            if (r.status == 1) {
                EXPECT_NE(r.err.find("orbelline: "), std::string::npos) << what;
            } else if (r.status != 127) {
                EXPECT_EQ(r.status, 0) << what;
            }
            starved += r.status == 1;
        }
        if (loaderFailed)
            break;
    }
    EXPECT_GT(starved, 0) << "no limit was low enough to run out of memory";
}

namespace {

using ob::test::OnPath;

// An X server of its own for the real window, and the program in `folder`
// run on it under a file size limit (none when 0); SIGTERM ends it as a
// logout would, and its status and standard error are kept.
class WindowRun {
public:
    bool Available(std::string& skip) const {
        if (!OnPath("Xvfb") || !OnPath("xdotool")) {
            skip = "needs Xvfb and xdotool";
            return false;
        }
        return true;
    }
    ~WindowRun() {
        if (m_app > 0 && ::kill(m_app, SIGKILL) == 0)
            ::waitpid(m_app, nullptr, 0);
    }

    // Starts Xvfb and the program; false when its window never shows or it
    // never comes to take SIGTERM.
    bool Start(const std::filesystem::path& folder, rlim_t fileSizeLimit) {
        m_server = std::make_unique<ob::test::XServer>("480x700x24");
        if (!m_server->Running())
            return false;
        m_errFile = m_logs.File("stderr.txt");  // not on a disk the test fills
        m_app = ::fork();
        if (m_app == 0) {
            const int err = ::open(m_errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(err, 2);
            if (fileSizeLimit > 0) {
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            const std::string exe = (folder / "orbelline").string();
            char* const argv[] = {const_cast<char*>("orbelline"), nullptr};
            ::setenv("DISPLAY", m_server->Display().c_str(), 1);
            ::execv(exe.c_str(), argv);
            ::_exit(127);
        }
        // The window shows first; the loop that takes SIGTERM runs a moment
        // later, and its handler is seen from outside.
        return !m_server->WaitForWindow("--classname orbelline", 30'000).empty() &&
               ob::test::WaitUntil([&] { return ob::test::CatchesSigterm(m_app); }, 30'000);
    }
    // Sends SIGTERM and waits for the end: the exit status, or 128 + the
    // signal that killed it, or -1 when it did not end.
    int End(std::string& err) {
        ::kill(m_app, SIGTERM);
        int status = 0;
        if (!ob::test::WaitUntil([&] { return ::waitpid(m_app, &status, WNOHANG) == m_app; }, 20'000))
            return -1;
        m_app = -1;
        err = ReadBytes(m_errFile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    ob::test::TestFolder m_logs;
    std::unique_ptr<ob::test::XServer> m_server;
    pid_t m_app = -1;
    std::string m_errFile;
};

// A settings file larger than 1 KiB: every city of the first three hundred.
std::string LongSettings() {
    std::string cities = "cities,1";
    for (int id = 2; id <= 300; ++id)
        cities += ";" + std::to_string(id);
    return cities + "\r\ntab,0\r\nweatherupdatewarning,0\r\n";
}

}  // namespace

TEST(HostileFiles, ASaveBeyondTheFileSizeLimitFailsAndTheExitSaysSo) {
    WindowRun run;
    std::string skip;
    if (!run.Available(skip))
        GTEST_SKIP() << skip;
    AppFolder app;
    const std::string settings = LongSettings();
    WriteBytes(app.Settings(), settings);
    ASSERT_TRUE(run.Start(app.Folder().Path(), 1024)) << "no window";
    std::string err;
    EXPECT_EQ(run.End(err), 1) << err;  // not killed by SIGXFSZ (128 + 25)
    EXPECT_NE(err.find("settings could not be saved"), std::string::npos) << err;
    EXPECT_EQ(ReadBytes(app.Settings()), settings);
    EXPECT_FALSE(std::filesystem::exists(app.Settings() + ".tmp"));
}

TEST(HostileFiles, ASaveOnAFullDiskFailsAndTheExitSaysSo) {
    WindowRun run;
    std::string skip;
    if (!run.Available(skip))
        GTEST_SKIP() << skip;
    namespace fs = std::filesystem;
    ob::test::TestFolder mountPoint;
    const std::string size =
        std::to_string(fs::file_size(fs::path(ORBELLINE_APP_DIR) / "orbelline") + (1 << 20));
    if (::geteuid() != 0 ||
        std::system(("mount -t tmpfs -o size=" + size + " tmpfs " + mountPoint.Path().string()).c_str()) != 0)
        GTEST_SKIP() << "needs a tmpfs mount, which only root can make";
    struct Unmount {
        std::string path;
        ~Unmount() {
            if (std::system(("umount -l " + path).c_str()) != 0)
                ADD_FAILURE() << "the tmpfs at " << path << " stays mounted";
        }
    } unmount{mountPoint.Path().string()};
    const fs::path folder = mountPoint.Path();
    fs::copy_file(fs::path(ORBELLINE_APP_DIR) / "orbelline", folder / "orbelline");
    const std::string settings = "cities,234;292;198\r\ntab,0\r\nweatherupdatewarning,0\r\n";
    WriteBytes((folder / "settings.csv").string(), settings);
    ASSERT_TRUE(run.Start(folder, 0)) << "no window";
    // Filled to the last block once the program runs (its start needs room
    // for the standard error file).
    {
        std::ofstream filler(folder / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), block.size()))
            filler.flush();
    }
    std::string err;
    EXPECT_EQ(run.End(err), 1) << err;
    EXPECT_NE(err.find("There is not enough space on the disk."), std::string::npos) << err;
    EXPECT_EQ(ReadBytes((folder / "settings.csv").string()), settings);
}
