// The real program in a temporary app folder, given files and limits that a
// careless or hostile party could arrange: it must neither hang, crash nor
// keep quiet about what it could not do.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "cli/RunProgram.h"

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
    return app.Run({"--headless", "--screenshot", app.Folder().File("page.png"), "--dialog", "weather", "--at",
                    "2026-12-09T12:00:00Z"},
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

