#include "model/Settings.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <functional>

#include "support/TempFolder.h"

using ZEP_Utility::Settings;
using ob::test::ReadBytes;
using ob::test::TestFolder;
using ob::test::WriteBytes;

namespace {

// Runs `body` in a child process (for privilege, limit and mount changes that
// must not leak into the test process) and returns its exit status.
int InChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

constexpr int kSkip = 77;

Settings Sample() {
    Settings s;
    s.SetInt(L"units", 0);
    s.SetString(L"cities", L"234;292;414");
    s.SetDouble(L"nearby_distance", 500);
    return s;
}

const char kSampleFile[] = "cities,234;292;414\r\nnearby_distance,500.000000\r\nunits,0\r\n";

}  // namespace

TEST(Settings, SavesSortedCrLfLinesAndReadsThemBack) {
    TestFolder dir;
    const Settings s = Sample();
    ASSERT_TRUE(s.Save(dir.WFile("settings.csv")));
    EXPECT_EQ(ReadBytes(dir.File("settings.csv")), kSampleFile);
    EXPECT_FALSE(std::filesystem::exists(dir.File("settings.csv.tmp")));

    Settings back;
    ASSERT_TRUE(back.Load(dir.WFile("settings.csv")));
    EXPECT_EQ(back.GetPairs(), s.GetPairs());
    double d = 0;
    EXPECT_TRUE(back.GetDouble(L"nearby_distance", d));
    EXPECT_EQ(d, 500.0);

    // Non-ASCII text is stored as UTF-8 and survives the trip.
    Settings wide;
    wide.SetString(L"name", L"S\u00e3o Paulo \u6771\u4eac \U0001F30D");
    ASSERT_TRUE(wide.Save(dir.WFile("wide.csv")));
    EXPECT_EQ(ReadBytes(dir.File("wide.csv")),
              "name,S\xC3\xA3o Paulo \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8C\x8D\r\n");
    Settings wideBack;
    ASSERT_TRUE(wideBack.Load(dir.WFile("wide.csv")));
    EXPECT_EQ(wideBack.GetPairs(), wide.GetPairs());
}

TEST(Settings, LoadSplitsAtFirstCommaAndTrimsOnlyTrailingBlanks) {
    TestFolder dir;
    WriteBytes(dir.File("s.csv"),
               "\xEF\xBB\xBF"     // a byte-order mark is not part of the first key
               "list,1,2,,3\r\n"  // commas in the value
               " units,2\n"       // a different key from "units"
               "units,1 \t\x0b\x0c\r\n"
               "pad,  x  \n"
               "no comma here\n"
               "\n"
               "units,0\rlast,one\r\n"  // a lone CR ends a line too
               "dup,first\n"
               "dup,second\n"
               ",empty key\n"
               "tail,no newline");
    Settings s;
    ASSERT_TRUE(s.Load(dir.WFile("s.csv")));
    std::wstring v;
    EXPECT_TRUE(s.GetString(L"list", v));
    EXPECT_EQ(v, L"1,2,,3");
    EXPECT_TRUE(s.GetString(L" units", v));
    EXPECT_EQ(v, L"2");
    EXPECT_TRUE(s.GetString(L"units", v));
    EXPECT_EQ(v, L"0");
    EXPECT_TRUE(s.GetString(L"pad", v));
    EXPECT_EQ(v, L"  x");
    EXPECT_TRUE(s.GetString(L"last", v));
    EXPECT_EQ(v, L"one");
    EXPECT_TRUE(s.GetString(L"dup", v));
    EXPECT_EQ(v, L"second");
    EXPECT_TRUE(s.GetString(L"", v));
    EXPECT_EQ(v, L"empty key");
    EXPECT_TRUE(s.GetString(L"tail", v));
    EXPECT_EQ(v, L"no newline");
    EXPECT_EQ(s.GetPairs().size(), 8u);
}

TEST(Settings, LoadOfMissingFileEmptiesTheStore) {
    TestFolder dir;
    Settings s = Sample();
    EXPECT_FALSE(s.Load(dir.WFile("absent.csv")));
    EXPECT_TRUE(s.GetPairs().empty());
}

TEST(Settings, NumbersReadLikeScanfAndKeepTheOldValueOtherwise) {
    Settings s;
    s.SetString(L"spaced", L"1   ");
    s.SetString(L"lead", L"  -42abc");
    s.SetString(L"plus", L"+7");
    s.SetString(L"word", L"yes");
    s.SetString(L"huge", L"99999999999999999999");
    s.SetString(L"tiny", L"-99999999999999999999");
    s.SetString(L"real", L"500.000000");
    s.SetString(L"exp", L"-1.5e3km");
    s.SetString(L"nan", L"nan");
    s.SetString(L"dot", L".");

    int i = 5;
    EXPECT_FALSE(s.GetInt(L"absent", i));
    EXPECT_EQ(i, 5);
    EXPECT_TRUE(s.GetInt(L"word", i));  // present but not a number
    EXPECT_EQ(i, 5);
    EXPECT_TRUE(s.GetInt(L"spaced", i));
    EXPECT_EQ(i, 1);
    s.GetInt(L"lead", i);
    EXPECT_EQ(i, -42);
    s.GetInt(L"plus", i);
    EXPECT_EQ(i, 7);
    s.GetInt(L"huge", i);
    EXPECT_EQ(i, INT_MAX);
    s.GetInt(L"tiny", i);
    EXPECT_EQ(i, INT_MIN);
    s.GetInt(L"real", i);
    EXPECT_EQ(i, 500);

    double d = 3;
    EXPECT_TRUE(s.GetDouble(L"word", d));
    EXPECT_EQ(d, 3);
    s.GetDouble(L"nan", d);
    EXPECT_EQ(d, 3);
    s.GetDouble(L"dot", d);
    EXPECT_EQ(d, 3);
    s.GetDouble(L"real", d);
    EXPECT_EQ(d, 500);
    s.GetDouble(L"exp", d);
    EXPECT_EQ(d, -1500);

    EXPECT_EQ(Settings::FormatDouble(500), L"500.000000");
    EXPECT_EQ(Settings::FormatDouble(-0.1234567), L"-0.123457");
    EXPECT_EQ(Settings::FormatInt(-5), L"-5");
}

TEST(Settings, RefusesPairsTheFileCannotHold) {
    Settings s;
    EXPECT_FALSE(s.SetString(L"a,b", L"1"));
    EXPECT_FALSE(s.SetString(L"a\nb", L"1"));
    EXPECT_FALSE(s.SetString(L"key", L"two\r\nlines"));
    EXPECT_FALSE(s.SetString(L"key", std::wstring(Settings::kMaxLineChars, L'x')));
    EXPECT_TRUE(s.GetPairs().empty());
    // The longest pair that fits, line end included.
    EXPECT_TRUE(s.SetString(L"k", std::wstring(Settings::kMaxLineChars - 4, L'x')));
}

TEST(Settings, KeysSortByUtf16CodeUnits) {
    TestFolder dir;
    Settings s;
    s.SetString(L"\uE000", L"private use");
    s.SetString(L"\U00010000", L"above the BMP");
    s.SetString(L"Z", L"upper");
    s.SetString(L"a", L"lower");
    ASSERT_TRUE(s.Save(dir.WFile("s.csv")));
    // 'Z' < 'a', and U+10000 (D800 DC00 in UTF-16) before U+E000.
    EXPECT_EQ(ReadBytes(dir.File("s.csv")),
              "Z,upper\r\na,lower\r\n\xF0\x90\x80\x80,above the BMP\r\n\xEE\x80\x80,private use\r\n");
}

TEST(SettingsSave, KeepsTheOldFileWhenTheTemporaryFileIsBlocked) {
    TestFolder dir;
    const std::string path = dir.File("settings.csv");
    WriteBytes(path, "units,1\r\n");
    std::filesystem::create_directory(path + ".tmp");
    EXPECT_FALSE(Sample().Save(dir.WFile("settings.csv")));
    EXPECT_EQ(ReadBytes(path), "units,1\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(path + ".tmp"));

    // A directory where the file itself should be.
    std::filesystem::create_directory(dir.File("folder.csv"));
    EXPECT_FALSE(Sample().Save(dir.WFile("folder.csv")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.csv")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("folder.csv.tmp")));

    EXPECT_FALSE(Sample().Save(dir.WFile("no/such/folder/settings.csv")));
    EXPECT_FALSE(Sample().Save(L""));
}

TEST(SettingsSave, KeepsTheOldFileInAReadOnlyFolder) {
    TestFolder dir;
    const std::string path = dir.File("settings.csv");
    WriteBytes(path, "units,1\r\n");
    ::chmod(path.c_str(), 0644);
    ::chmod(dir.Path().c_str(), 0555);
    const int rc = InChild([&] {
        // Root writes anywhere; try as nobody instead.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return kSkip;
        return Sample().Save(dir.WFile("settings.csv")) ? 1 : 0;
    });
    if (rc == kSkip)
        GTEST_SKIP() << "cannot give up root here";
    EXPECT_EQ(rc, 0) << "Save reported success in a read-only folder";
    EXPECT_EQ(ReadBytes(path), "units,1\r\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(SettingsSave, KeepsTheOldFileWhenAWriteFails) {
    TestFolder dir;
    const std::string path = dir.File("settings.csv");
    WriteBytes(path, "units,1\r\n");
    Settings big;
    for (int i = 0; i < 2000; ++i)
        big.SetString(L"key" + std::to_wstring(i), std::wstring(100, L'v'));

    // A file size limit makes the write fail part-way, as a full disk does.
    const int rc = InChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return kSkip;
        return big.Save(dir.WFile("settings.csv")) ? 1 : 0;
    });
    ASSERT_NE(rc, kSkip);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadBytes(path), "units,1\r\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(SettingsSave, KeepsTheOldFileOnAFullFileSystem) {
    TestFolder dir;
    const std::string mountPoint = dir.File("small");
    std::filesystem::create_directory(mountPoint);
    Settings big;
    for (int i = 0; i < 2000; ++i)
        big.SetString(L"key" + std::to_wstring(i), std::wstring(100, L'v'));

    // A 16 KiB file system in a private mount namespace, gone with the child.
    const int rc = InChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=16k") != 0)
            return kSkip;
        const std::string path = mountPoint + "/settings.csv";
        const std::wstring wpath(path.begin(), path.end());
        if (!Sample().Save(wpath))
            return 2;
        if (big.Save(wpath))
            return 3;
        if (ReadBytes(path) != kSampleFile)
            return 4;
        if (std::filesystem::exists(path + ".tmp"))
            return 5;
        return 0;
    });
    if (rc == kSkip)
        GTEST_SKIP() << "cannot mount a small file system here";
    EXPECT_EQ(rc, 0)
        << "2: small save failed, 3: full save succeeded, 4: old file damaged, 5: temporary file left";
}

TEST(Settings, ReadsWhatItCanFromDamagedFiles) {
    TestFolder dir;
    // A long line is read whole: its tail never turns into pairs of its own.
    std::string longLine = "big," + std::string(1'000'000, 'x') + ",tail,1";
    WriteBytes(dir.File("long.csv"), "units,1\n" + longLine + "\r\nshadow,0");
    Settings s;
    ASSERT_TRUE(s.Load(dir.WFile("long.csv")));
    EXPECT_EQ(s.GetPairs().size(), 3u);
    std::wstring v;
    EXPECT_TRUE(s.GetString(L"shadow", v));
    EXPECT_EQ(v, L"0");
    EXPECT_TRUE(s.GetString(L"big", v));
    EXPECT_EQ(v.size(), 1'000'007u);

    std::string many;
    for (int i = 0; i < 100'000; ++i)
        many += "key" + std::to_string(i) + "," + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
    WriteBytes(dir.File("many.csv"), many);
    ASSERT_TRUE(s.Load(dir.WFile("many.csv")));
    EXPECT_EQ(s.GetPairs().size(), 100'000u);
    int n = 0;
    EXPECT_TRUE(s.GetInt(L"key99999", n));
    EXPECT_EQ(n, 99999);

    std::string junk;
    unsigned x = 12345;
    for (int i = 0; i < 200'000; ++i) {
        x = x * 1103515245u + 12345u;
        junk += static_cast<char>(x >> 24);
    }
    WriteBytes(dir.File("junk.csv"), junk + "\nunits,2\n");
    ASSERT_TRUE(s.Load(dir.WFile("junk.csv")));
    EXPECT_TRUE(s.GetInt(L"units", n));
    EXPECT_EQ(n, 2);
    // Whatever was read can be written again and read back the same.
    ASSERT_TRUE(s.Save(dir.WFile("again.csv")));
    Settings again;
    ASSERT_TRUE(again.Load(dir.WFile("again.csv")));
    EXPECT_EQ(again.GetPairs(), s.GetPairs());
}

TEST(Settings, WritesBackEveryLineItCannotUseAsItWasRead) {
    TestFolder dir;
    // A 100,000-id "cities" line, an unknown key with a long value, a line
    // without a comma (with a byte that is no UTF-8) all survive a save.
    std::string ids = "234";
    for (int i = 0; i < 100'000; ++i)
        ids += ";" + std::to_string(i);
    const std::string odd = "no comma here \xff";
    const std::string unknown = "some_future_key," + std::string(200'000, 'v');
    WriteBytes(dir.File("s.csv"), "cities," + ids + "\n" + odd + "\r\n" + unknown + "\r\nunits,1\r\n");
    Settings s;
    ASSERT_TRUE(s.Load(dir.WFile("s.csv")));
    EXPECT_EQ(s.GetLoadResult(), ob::kernel::FileReadResult::Ok);
    ASSERT_TRUE(s.Save(dir.WFile("s.csv")));
    EXPECT_EQ(ReadBytes(dir.File("s.csv")), odd + "\r\ncities," + ids + "\r\n" + unknown + "\r\nunits,1\r\n");
}

TEST(Settings, ReadsOnlyRegularFilesOfBoundedSize) {
    TestFolder dir;
    // A FIFO (no writer), a link to an endless device and a huge file are each
    // refused at once, without blocking or growing memory.
    ASSERT_EQ(::mkfifo(dir.File("fifo.csv").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.File("zero.csv"));
    WriteBytes(dir.File("huge.csv"), "units,1\n");
    std::filesystem::resize_file(dir.File("huge.csv"), Settings::kMaxFileBytes + 1);
    WriteBytes(dir.File("fine.csv"), "units,1\n");
    Settings s;
    EXPECT_FALSE(s.Load(dir.WFile("fifo.csv")));
    EXPECT_EQ(s.GetLoadResult(), ob::kernel::FileReadResult::NotRegular);
    EXPECT_TRUE(s.LoadRefusedFile());
    EXPECT_FALSE(s.Load(dir.WFile("zero.csv")));
    EXPECT_EQ(s.GetLoadResult(), ob::kernel::FileReadResult::NotRegular);
    EXPECT_FALSE(s.Load(dir.WFile("huge.csv")));
    EXPECT_EQ(s.GetLoadResult(), ob::kernel::FileReadResult::TooLarge);
    EXPECT_EQ(ob::kernel::DescribeFileRead(s.GetLoadResult(), Settings::kMaxFileBytes), "larger than 4 MB");
    EXPECT_TRUE(s.GetPairs().empty());
    EXPECT_FALSE(s.Load(dir.WFile("missing.csv")));
    EXPECT_FALSE(s.LoadRefusedFile());  // a missing file is no refusal: a save may make it
    EXPECT_TRUE(s.Load(dir.WFile("fine.csv")));
    EXPECT_FALSE(s.LoadRefusedFile());
}
