#include <gtest/gtest.h>

#include <filesystem>

#include "util/Exception.h"
#include "util/FileSystem.h"
#include "util/Stream.h"
#include "support/TempFolder.h"

using namespace ZEP_IO;
using namespace ZEP_Utility;
using ob::test::TestFolder;

namespace {
std::wstring ReadText(const std::wstring& path) {
    FileStream stream(path, FileMode::Open, FileAccess::Read, FileShare::Read);
    return ReadAllText(stream);
}
}  // namespace

TEST(ReadAllText, DecodesByByteOrderMark) {
    TestFolder dir;
    EXPECT_EQ(ReadText(dir.Write("le", std::string("\xFF\xFE"
                                                   "a\0b\0c\0",
                                                   8))),
              L"abc");
    EXPECT_EQ(ReadText(dir.Write("be", std::string("\xFE\xFF\0a\0b\0c", 8))), L"abc");
    // A surrogate pair becomes one character; the text ends at a NUL unit.
    EXPECT_EQ(ReadText(dir.Write("pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE"
                                                     "x\0\0\0y\0",
                                                     12))),
              L"\U0001F600x");
    EXPECT_EQ(ReadText(dir.Write("odd", std::string("\xFF\xFE"
                                                    "a\0b",
                                                    5))),
              L"a");  // a half unit is dropped
    EXPECT_EQ(ReadText(dir.Write("lone", std::string("\xFF\xFE\x00\xD8"
                                                     "a\0",
                                                     6))),
              L"\xFFFD"
              L"a");
    EXPECT_EQ(ReadText(dir.Write("one", "A")), L"A");  // the byte is read again after the mark test
    EXPECT_EQ(ReadText(dir.Write("empty", "")), L"");
    EXPECT_EQ(ReadText(dir.Write("utf8", "S\xC3\xA3o")), L"S\u00e3o");
    // An editor's UTF-8 mark does not become part of the text.
    EXPECT_EQ(ReadText(dir.Write("bom8", "\xEF\xBB\xBF<html/>")), L"<html/>");
    EXPECT_EQ(ReadText(dir.Write("nul", std::string("ab\0cd", 5))), L"ab");
}

TEST(FileStream, ModesAccessAndErrors) {
    TestFolder dir;
    const auto path = dir.WFile("f.bin");
    try {
        FileStream missing(path, FileMode::Open, FileAccess::Read, FileShare::Read);
        FAIL() << "opened a missing file";
    } catch (const IOException& e) {
        EXPECT_EQ(e.GetMessage(), L"IO exception (The system cannot find the file specified.)");
        EXPECT_EQ(e.GetErrorCode(), 2u);
        EXPECT_EQ(e.GetTypePath(), L"::ZEP_Utility::Exception::ZEP_IO::IOException");
    }
    EXPECT_THROW(FileStream(path, FileMode::Truncate, FileAccess::Write, FileShare::None), IOException);
    {
        FileStream s(path, FileMode::CreateNew, FileAccess::Write, FileShare::None);
        EXPECT_FALSE(s.CanRead());
        EXPECT_TRUE(s.CanWrite());
        EXPECT_TRUE(s.CanSeek());
        s.Write("xx0123456789", 2, 10);
        EXPECT_EQ(s.GetLength(), 10u);
        char c;
        EXPECT_THROW(s.Read(&c, 0, 1), IOException);
        // Sharing nothing keeps every other opener out.
        EXPECT_THROW(FileStream(path, FileMode::Open, FileAccess::Read, FileShare::ReadWrite), IOException);
    }
    EXPECT_THROW(FileStream(path, FileMode::CreateNew, FileAccess::Write, FileShare::None), IOException);
    {
        FileStream s(path, FileMode::Append, FileAccess::Write, FileShare::Read);
        EXPECT_EQ(s.GetPosition(), 10u);
        s.Write("ab", 0, 2);
    }
    EXPECT_EQ(dir.Read("f.bin"), "0123456789ab");
    {
        FileStream s(path, FileMode::OpenOrCreate, FileAccess::ReadWrite, FileShare::Read);
        char buffer[8] = {};
        EXPECT_EQ(s.Read(buffer, 1, 3), 3u);
        EXPECT_EQ(std::string(buffer + 1, 3), "012");
        EXPECT_EQ(s.Seek(-2, 2), 10u);
        EXPECT_EQ(s.Seek(1, 7), 11u);  // any other origin is the current position
        EXPECT_THROW(s.Seek(-100, 1), IOException);
        s.Close();
        s.Close();  // closing twice is harmless
    }
    {
        FileStream s(path, FileMode::Create, FileAccess::ReadWrite, FileShare::None);
        EXPECT_EQ(s.GetLength(), 0u);
    }
}

TEST(FileStream, SetLengthKeepsThePosition) {
    TestFolder dir;
    const auto path = dir.Write("h", std::string(100, 'x'));
    FileStream s(path, FileMode::Open, FileAccess::ReadWrite, FileShare::None);
    s.Seek(50, 0);
    s.SetLength(10);
    EXPECT_EQ(s.GetLength(), 10u);
    EXPECT_EQ(s.GetPosition(), 50u);
}

TEST(PathFunctions, NameAndTitle) {
    EXPECT_EQ(GetFileTitle(L"/weather/images_2/sun.bmp"), L"sun");
    EXPECT_EQ(GetFileTitle(L"noext"), L"noext");
    EXPECT_EQ(GetFileTitle(L"/a/a.b.gif"), L"a.b");
    EXPECT_EQ(GetFileTitle(L"/a.d/README"), L"README");
    EXPECT_EQ(GetFileName(L"/a/b/c.txt"), L"c.txt");
    EXPECT_EQ(GetFileName(L"c.txt"), L"c.txt");
    EXPECT_EQ(GetFileName(L"/a/"), L"");
}

TEST(ListFolder, FilesOrFoldersAndFailures) {
    TestFolder dir;
    std::vector<std::wstring> list{L"stale"};
    ListFiles(dir.WPath(), list);
    EXPECT_TRUE(list.empty());  // an empty folder lists nothing, without raising
    dir.Write("b.png", "");
    dir.Write("a.gif", "");
    std::filesystem::create_directory(dir.File("sub"));
    ListFiles(dir.WPath(), list);
    EXPECT_EQ(list, (std::vector<std::wstring>{dir.WFile("a.gif"), dir.WFile("b.png")}));
    ListFolder(dir.WPath(), L"*", true, list);
    EXPECT_EQ(list, (std::vector<std::wstring>{dir.WFile("sub")}));
    ListFolder(dir.WPath(), L"*.jpg", false, list);
    EXPECT_TRUE(list.empty());
    try {
        ListFiles(dir.WFile("missing"), list);
        FAIL() << "listed a missing folder";
    } catch (const IOException& e) {
        EXPECT_EQ(e.GetMessage(), L"IO exception (The system cannot find the path specified.)");
    }
}

namespace {
// A file system whose search breaks off with an error after one entry.
struct BrokenFileSystem : PosixFileSystem {
    std::uint32_t error = ob::kernel::kErrorSuccess;
    std::uint32_t LastErrorCode() override { return error; }
    ob::kernel::FindHandle FindFirst(const std::wstring&, ob::kernel::FindData& data) override {
        data.name = L"one";
        data.attributes = ob::kernel::kAttributeNormal;
        return 1;
    }
    bool FindNext(ob::kernel::FindHandle, ob::kernel::FindData&) override {
        error = ob::kernel::kErrorIoDevice;
        return false;
    }
    void EndFind(ob::kernel::FindHandle) override {}
};
}  // namespace

TEST(ListFolder, ASearchThatBreaksOffRaisesThroughTheReplaceableFileSystem) {
    BrokenFileSystem broken;
    SetFileSystem(&broken);
    std::vector<std::wstring> list;
    EXPECT_THROW(ListFiles(L"/x", list), IOException);
    SetFileSystem(nullptr);
    EXPECT_NE(dynamic_cast<PosixFileSystem*>(&GetFileSystem()), &broken);
}
