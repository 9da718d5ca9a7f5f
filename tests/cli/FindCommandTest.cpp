// Cities by name on the command line: --find, names in --cities and --info,
// and the locale's own clock in --clock.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "support/RunProgram.h"
#include "kernel/LocaleFixture.h"

using namespace ob::test;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

class FindCommand : public ::testing::Test {
protected:
    AppFolder app;
};

TEST_F(FindCommand, ListsMatchesBestFirstInEveryFormatWhateverTheAccentsOrCase) {
    const ProgramResult tsv = app.Run({"--find", "SAO", "--format", "tsv"});
    ASSERT_EQ(tsv.status, 0) << tsv.err;
    const auto lines = Lines(tsv.out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "id\tname\tcountry\tzone");
    EXPECT_EQ(lines[1].substr(0, lines[1].find('\t', lines[1].find('\t') + 1)), "381\tS\u00e3o Paulo");
    // The accented spelling and the plain one find the same cities in the same order.
    EXPECT_EQ(app.Run({"--find", "S\xc3\xa3o", "--format", "tsv"}).out, tsv.out);

    // A name that starts with the text comes before one where a later word does.
    const auto json = nlohmann::json::parse(app.Run({"--find", "london", "--format", "json"}).out);
    ASSERT_EQ(json.size(), 3u);
    EXPECT_EQ(json[0]["name"], "London");
    EXPECT_EQ(json[1]["name"], "Londonderry");
    EXPECT_EQ(json[2]["name"], "Outer London");
    EXPECT_EQ(json[0]["id"], 234);
    EXPECT_FALSE(json[0]["zone"].get<std::string>().empty());

    const ProgramResult none = app.Run({"--find", "xyzzy"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(Lines(none.out).size(), 1u);
    EXPECT_EQ(app.Run({"--find"}).status, 2);
    EXPECT_EQ(app.Run({"--find", "tok", "--cities", "234"}).status, 2);
}

TEST_F(FindCommand, CitiesAndInfoTakeNamesAndRefuseAnAmbiguousOneWithItsCandidates) {
    const ProgramResult byName =
        app.Run({"--clock", "--format", "tsv", "--cities", "London;Tokyo;sao paulo;Kingston, Jamaica"});
    const ProgramResult byId = app.Run({"--clock", "--format", "tsv", "--cities", "234;429;381;203"});
    ASSERT_EQ(byName.status, 0) << byName.err;
    EXPECT_EQ(byName.out, byId.out);

    for (const char* name : {"Kingston", "Birmingham"}) {
        SCOPED_TRACE(name);
        const ProgramResult r = app.Run({"--clock", "--cities", std::string("234;") + name});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(Lines(r.err).size(), 1u);
        EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
    }
    const ProgramResult kingston = app.Run({"--clock", "--cities", "Kingston"});
    EXPECT_NE(kingston.err.find("203 Kingston, Jamaica"), std::string::npos) << kingston.err;
    EXPECT_NE(kingston.err.find("Norfolk Island"), std::string::npos) << kingston.err;
    EXPECT_EQ(app.Run({"--clock", "--cities", "Narnia"}).status, 2);

    const ProgramResult info = app.Run({"--info", "tokyo"});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out, app.Run({"--info", "429"}).out);
    EXPECT_EQ(app.Run({"--info", "Kingston"}).status, 2);
}

// Without a stored time format the clock is the locale's own; a stored
// 12-hour format under a locale without AM/PM still shows AM and PM.
TEST_F(FindCommand, TheClockFollowsTheLocaleUntilAFormatIsStored) {
    if (!EnsureLocale("de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 cannot be made here";
    const std::vector<std::string> german = {"LC_ALL=", "LANG=de_DE.UTF-8"};
    const std::vector<std::string> args = {"--clock", "--at", "2026-12-09T11:00:00Z", "--cities", "429;234"};
    const ProgramResult plain = app.Run(args, german);
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find("20:00"), std::string::npos) << plain.out;
    EXPECT_EQ(plain.out.find("PM"), std::string::npos) << plain.out;
    EXPECT_NE(app.Run(args, {"LC_ALL=", "LANG=en_US.UTF-8"}).out.find("8:00 PM"), std::string::npos);

    std::ofstream(app.Settings()) << "main_time_format,0\r\n";
    const ProgramResult twelve = app.Run(args, german);
    EXPECT_NE(twelve.out.find("8:00 PM"), std::string::npos) << twelve.out;
    EXPECT_NE(twelve.out.find("11:00 AM"), std::string::npos) << twelve.out;
}

}  // namespace
