// The screenshot mode's dialogs that describe the selected city, run as the
// real binary: each one is drawn, and a row the list does not have is an error.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/RunProgram.h"

using ob::test::AppFolder;
using ob::test::ProgramResult;
using ob::test::WriteBytes;

TEST(ScreenshotDialogs, EachDialogIsDrawnForTheSelectedRowAndAMissingRowIsAnError) {
    AppFolder app;
    WriteBytes(app.Settings(), "cities,234;292;198\r\n");
    for (const char* name : {"info", "nearby", "options", "fields", "about"}) {
        const std::string picture = app.Folder().File(std::string(name) + ".png");
        const ProgramResult r = app.Run({"--headless", "--screenshot", picture, "--dialog", name, "--select",
                                         "2", "--at", "2008-07-15T12:00:00Z"});
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        EXPECT_GT(std::filesystem::file_size(picture), 1000u) << name;
    }
    // Taps land on the open dialog; one on its OK closes it, and the settings
    // file stays as it was although the dialog stores what it shows.
    const ProgramResult tapped = app.Run({"--headless", "--screenshot", app.Folder().File("ok.png"),
                                          "--dialog", "options", "--tap", "227,12", "--tap", "100,200"});
    EXPECT_EQ(tapped.status, 0) << tapped.err;
    EXPECT_EQ(ob::test::ReadBytes(app.Settings()), "cities,234;292;198\r\n");
    const ProgramResult missing = app.Run(
        {"--headless", "--screenshot", app.Folder().File("x.png"), "--dialog", "info", "--select", "3"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no row 3"), std::string::npos) << missing.err;
    const ProgramResult bad =
        app.Run({"--headless", "--screenshot", app.Folder().File("x.png"), "--select", "-1"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("'-1'"), std::string::npos) << bad.err;
}
