// End to end: this build installed into a temporary prefix and run as a user
// would run an installed program, with HOME and the XDG folders of the test's
// own. The prefix must stay untouched; the portable app folder keeps working.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/FakeForecastService.h"
#include "support/TempFolder.h"

using namespace OBPumpTest;
using ob::test::TestFolder;
using ob::test::WriteFile;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a command line with exactly the environment given, standard error
// merged into the output.
Outcome RunWith(const std::vector<std::string>& environment, const std::vector<std::string>& command) {
    std::string line = "env -i";
    for (const auto& variable : environment)
        line += " " + Quote(variable);
    for (const auto& word : command)
        line += " " + Quote(word);
    line += " 2>&1";
    Outcome run;
    if (FILE* pipe = ::popen(line.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            run.out.append(buffer, n);
        const int status = ::pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

// Every file under `folder` with its size and modification time.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        struct stat info {};
        ::lstat(entry.path().c_str(), &info);
        files[entry.path().string()] = std::to_string(info.st_size) + "@" +
                                       std::to_string(info.st_mtim.tv_sec) + "." +
                                       std::to_string(info.st_mtim.tv_nsec);
    }
    return files;
}

int Mode(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 0777) : -1;
}

}  // namespace

TEST(InstallTest, TheInstalledProgramWritesOnlyUnderTheUsersFoldersAndFindsItsContent) {
    TestFolder root;
    const std::string prefix = root / "prefix";
    const std::string home = root / "home";
    Outcome install = RunWith({"PATH=/usr/bin:/bin"}, {ORBELLINE_CMAKE_COMMAND, "--install",
                                                       ORBELLINE_BUILD_DIR, "--prefix", prefix});
    ASSERT_EQ(install.status, 0) << install.out;
    for (const char* file :
         {"bin/orbelline", "lib/orbelline/ForecastPumpCF", "share/orbelline/weather/html/cityforecast.html",
          "share/applications/org.orbelline.Orbelline.desktop",
          "share/metainfo/org.orbelline.Orbelline.metainfo.xml",
          "share/icons/hicolor/48x48/apps/orbelline.png", "share/icons/hicolor/256x256/apps/orbelline.png",
          "share/man/man1/orbelline.1.gz", "share/man/man1/ForecastPumpCF.1.gz",
          "share/doc/orbelline/copyright"})
        EXPECT_TRUE(fs::exists(prefix + "/" + file)) << file;
    for (const char* set : {"images_1", "images_2", "images_3"})
        EXPECT_FALSE(fs::is_empty(prefix + "/share/orbelline/weather/" + set)) << set;
    const auto installed = Snapshot(prefix);

    const std::string scope = "installtest" + std::to_string(::getpid());
    const std::vector<std::string> environment = {"HOME=" + home,       "XDG_CACHE_HOME=" + root / "cache",
                                                  "LC_ALL=C.UTF-8",     "TZ=UTC",
                                                  "PATH=/usr/bin:/bin", "ORBELLINE_EVENT_SCOPE=" + scope};
    const std::string program = prefix + "/bin/orbelline";

    Outcome paths = RunWith(environment, {program, "--paths"});
    ASSERT_EQ(paths.status, 0) << paths.out;
    const std::string places = "settings\t" + home + "/.config/orbelline/settings.csv\n" + "forecasts\t" +
                               root / "cache/orbelline/weather/data\n" + "log\t" + home +
                               "/.local/state/orbelline\n" + "content\t" + prefix + "/share/orbelline\n" +
                               "downloader\t" + prefix + "/lib/orbelline/ForecastPumpCF\n";
    EXPECT_EQ(paths.out.substr(0, places.size()), places);
    // Then the time zone database this machine has, or the built-in rules.
    EXPECT_EQ(paths.out.compare(places.size(), 6, "zones\t"), 0) << paths.out;

    WriteFile(home + "/.config/orbelline/settings.csv", "cities,234;292\r\n");
    Outcome clock =
        RunWith(environment, {program, "--clock", "--at", "2026-12-08T12:00:00Z", "--format", "tsv"});
    EXPECT_EQ(clock.status, 0) << clock.out;
    EXPECT_NE(clock.out.find("234\tLondon"), std::string::npos) << clock.out;

    for (const char* view : {"map", "planner", "weather"}) {
        const std::string shot = root / (std::string("shot_") + view + ".png");
        Outcome screenshot = RunWith(environment, {program, "--headless", "--screenshot", shot, "--view",
                                                   view, "--at", "2026-12-08T12:00:00Z"});
        EXPECT_EQ(screenshot.status, 0) << view << ": " << screenshot.out;
        EXPECT_GT(fs::exists(shot) ? fs::file_size(shot) : 0u, 1000u) << view;
    }

    FakeForecastService service([](const FakeRequest& r) {
        return FakeReply{FakeReply::Kind::Normal, 200,
                         ForecastJson("2026-12-07", 8, std::stod(r.query.at("latitude")))};
    });
    Outcome fetch = RunWith(
        environment, {prefix + "/lib/orbelline/ForecastPumpCF", "--once", "--service-url", service.Url()});
    EXPECT_EQ(fetch.status, 0) << fetch.out;
    EXPECT_NE(fetch.out.find("2 of 2 cities updated"), std::string::npos) << fetch.out;
    EXPECT_TRUE(fs::exists(root / "cache/orbelline/weather/data/f_234.xml"));
    EXPECT_TRUE(fs::exists(root / "cache/orbelline/weather/data/f_292.xml"));
    EXPECT_EQ(Mode(root / "cache/orbelline"), 0700);
    EXPECT_EQ(Mode(home + "/.local/state/orbelline"), 0700);

    EXPECT_EQ(Snapshot(prefix), installed) << "something was written under the prefix";

    // The build's own app folder is still portable.
    Outcome portable = RunWith(environment, {std::string(ORBELLINE_APP_DIR) + "/orbelline", "--paths"});
    EXPECT_EQ(portable.status, 0);
    EXPECT_EQ(portable.out.substr(0, portable.out.find('\n')),
              std::string("settings\t") + ORBELLINE_APP_DIR + "/settings.csv");
}

TEST(InstallTest, TheDebianPackageDeclaresItsDependenciesPassesDebiansChecksAndItsProgramRuns) {
    if (RunWith({"PATH=/usr/bin:/bin"}, {"sh", "-c", "command -v dpkg-deb && command -v dpkg-shlibdeps"})
            .status != 0)
        GTEST_SKIP() << "dpkg-deb or dpkg-shlibdeps missing";
    TestFolder root;
    Outcome pack = RunWith({"PATH=/usr/bin:/bin"},
                           {"sh", "-c",
                            "cd " + Quote(ORBELLINE_BUILD_DIR) + " && " + Quote(ORBELLINE_CPACK_COMMAND) +
                                " -G DEB -B " + Quote(root.Path())});
    ASSERT_EQ(pack.status, 0) << pack.out;
    std::string deb;
    for (const auto& entry : fs::directory_iterator(root.Path()))
        if (entry.path().extension() == ".deb")
            deb = entry.path().string();
    ASSERT_FALSE(deb.empty()) << pack.out;
    EXPECT_EQ(fs::path(deb).filename().string().rfind("orbelline_1.", 0), 0u) << deb;

    const Outcome info = RunWith({"PATH=/usr/bin:/bin"}, {"dpkg-deb", "--info", deb});
    for (const char* dependency : {"fonts-wine", "libsdl2-2.0-0", "tzdata", "libcctz2", "libcurl4",
                                   "libfreetype6", "libpixman-1-0", "libc6"})
        EXPECT_NE(info.out.find(dependency), std::string::npos) << dependency << " in\n" << info.out;
    const Outcome contents = RunWith({"PATH=/usr/bin:/bin"}, {"dpkg-deb", "--contents", deb});
    for (const char* file :
         {"./usr/bin/orbelline", "./usr/lib/orbelline/ForecastPumpCF",
          "./usr/share/orbelline/weather/html/cityforecast.html",
          "./usr/share/applications/org.orbelline.Orbelline.desktop",
          "./usr/share/icons/hicolor/64x64/apps/orbelline.png", "./usr/share/man/man1/orbelline.1.gz",
          "./usr/share/doc/orbelline/changelog.gz", "./usr/share/lintian/overrides/orbelline"})
        EXPECT_NE(contents.out.find(file), std::string::npos) << file;

    // Debian's checks find nothing, pedantic ones included, but the tags the
    // package overrides with a reason; the desktop entry and the software
    // centre's metadata are valid and name each other.
    const std::vector<std::string> tools = {"PATH=/usr/bin:/bin", "HOME=" + root / "home"};
    const Outcome lintian = RunWith(
        tools, {"lintian", "--fail-on", "error,warning,info,pedantic", "--display-info", "--pedantic", deb});
    EXPECT_EQ(lintian.status, 0) << "lintian (scripts/install-deps.sh installs it):\n" << lintian.out;

    // Unpacked into a folder, the program runs from it as it would from /usr.
    ASSERT_EQ(RunWith({"PATH=/usr/bin:/bin"}, {"dpkg-deb", "-x", deb, root / "root"}).status, 0);
    const Outcome appstream = RunWith(tools, {"appstreamcli", "validate-tree", "--no-net", root / "root"});
    EXPECT_EQ(appstream.status, 0) << "appstreamcli (scripts/install-deps.sh installs it):\n"
                                   << appstream.out;
    const Outcome desktop = RunWith(
        tools,
        {"desktop-file-validate", root / "root/usr/share/applications/org.orbelline.Orbelline.desktop"});
    EXPECT_EQ(desktop.status, 0) << "desktop-file-validate (scripts/install-deps.sh installs it):\n"
                                 << desktop.out;
    const Outcome clock = RunWith(
        {"HOME=" + root / "home", "LC_ALL=C.UTF-8", "TZ=UTC"},
        {root / "root/usr/bin/orbelline", "--clock", "--cities", "234", "--at", "2026-12-08T12:00:00Z"});
    EXPECT_EQ(clock.status, 0) << clock.out;
    EXPECT_NE(clock.out.find("London"), std::string::npos) << clock.out;
}
