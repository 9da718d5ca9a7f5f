#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "platform/kernel/FileApi.h"
#include "support/TempFolder.h"

using namespace ob::kernel;
using ob::test::TestFolder;

namespace {
std::string ReadAll(FileHandle h) {
    std::string out;
    char buffer[64];
    std::uint32_t n = 0;
    while (ReadFile(h, buffer, sizeof buffer, &n) && n > 0)
        out.append(buffer, n);
    return out;
}
}  // namespace

TEST(FileApi, CreationRulesFollowThePlatform) {
    TestFolder dir;
    const auto path = dir.WFile("f.txt");
    EXPECT_EQ(OpenFile(path, kGenericRead, kShareRead, Creation::OpenExisting), kInvalidFile);
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_EQ(OpenFile(dir.WFile("nope/f.txt"), kGenericRead, kShareRead, Creation::OpenExisting),
              kInvalidFile);
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);

    FileHandle h = OpenFile(path, kGenericWrite, 0, Creation::CreateNew);
    ASSERT_NE(h, kInvalidFile);
    std::uint32_t written = 0;
    EXPECT_TRUE(WriteFile(h, "hello", 5, &written));
    EXPECT_EQ(written, 5u);
    std::uint32_t read = 0;
    char c;
    EXPECT_FALSE(ReadFile(h, &c, 1, &read));  // opened for writing only
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_TRUE(CloseFile(h));
    EXPECT_FALSE(CloseFile(h));
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);

    EXPECT_EQ(OpenFile(path, kGenericWrite, 0, Creation::CreateNew), kInvalidFile);
    EXPECT_EQ(GetLastError(), kErrorFileExists);

    h = OpenFile(path, kGenericRead | kGenericWrite, 0, Creation::OpenAlways);
    ASSERT_NE(h, kInvalidFile);
    EXPECT_EQ(ReadAll(h), "hello");
    EXPECT_EQ(GetFileSize(h), 5);
    EXPECT_EQ(SeekFile(h, 2, SeekOrigin::Begin), 2);
    EXPECT_TRUE(SetEndOfFile(h));
    EXPECT_EQ(GetFileSize(h), 2);
    EXPECT_EQ(SeekFile(h, -10, SeekOrigin::Begin), -1);
    EXPECT_EQ(GetLastError(), kErrorNegativeSeek);
    CloseFile(h);

    h = OpenFile(path, kGenericWrite, 0, Creation::TruncateExisting);
    ASSERT_NE(h, kInvalidFile);
    EXPECT_EQ(GetFileSize(h), 0);
    CloseFile(h);
    EXPECT_EQ(OpenFile(dir.WFile("missing"), kGenericWrite, 0, Creation::TruncateExisting), kInvalidFile);

    // A folder is not a file.
    EXPECT_EQ(OpenFile(dir.WPath(), kGenericRead, kShareRead, Creation::OpenExisting), kInvalidFile);
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
}

TEST(FileApi, AClosedHandleStaysInvalidWhenLaterOpensReuseItsPlace) {
    TestFolder dir;
    const auto pathA = dir.WFile("a.txt");
    const auto pathB = dir.WFile("b.txt");
    ASSERT_TRUE(WriteFileAtomically(pathA, "aaaa"));
    ASSERT_TRUE(WriteFileAtomically(pathB, "bbbb"));

    const FileHandle a = OpenFile(pathA, kGenericRead, kShareRead, Creation::OpenExisting);
    ASSERT_NE(a, kInvalidFile);
    ASSERT_TRUE(CloseFile(a));
    // Several opens, so that one of them lands where a's record was.
    std::vector<FileHandle> later;
    for (int i = 0; i < 8; ++i) {
        later.push_back(
            OpenFile(pathB, kGenericRead | kGenericWrite, kShareRead | kShareWrite, Creation::OpenExisting));
        ASSERT_NE(later.back(), kInvalidFile);
        EXPECT_NE(later.back(), a);
    }
    char buffer[4];
    std::uint32_t n = 99;
    EXPECT_FALSE(ReadFile(a, buffer, sizeof buffer, &n));
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(WriteFile(a, "x", 1, &n));
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
    EXPECT_EQ(GetFileSize(a), -1);
    EXPECT_FALSE(CloseFile(a));
    for (FileHandle h : later)
        EXPECT_TRUE(CloseFile(h));
    const FileHandle b = OpenFile(pathB, kGenericRead, kShareRead, Creation::OpenExisting);
    EXPECT_EQ(ReadAll(b), "bbbb");  // nothing was written through the stale handle
    CloseFile(b);

    // Folder searches too.
    FindData data;
    const FindHandle first = FindFirstFile(dir.WFile("*.txt"), data);
    ASSERT_NE(first, kInvalidFind);
    ASSERT_TRUE(FindClose(first));
    const FindHandle second = FindFirstFile(dir.WFile("*.txt"), data);
    ASSERT_NE(second, kInvalidFind);
    EXPECT_NE(second, first);
    EXPECT_FALSE(FindNextFile(first, data));
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
    EXPECT_FALSE(FindClose(first));
    EXPECT_TRUE(FindClose(second));
}

TEST(FileApi, SharingIsHonouredBetweenHandles) {
    TestFolder dir;
    const auto path = dir.Write("s.txt", "data");
    FileHandle reader = OpenFile(path, kGenericRead, kShareRead, Creation::OpenExisting);
    ASSERT_NE(reader, kInvalidFile);
    // Another reader is fine; a writer is refused because the reader shares reading only.
    FileHandle second = OpenFile(path, kGenericRead, kShareRead, Creation::OpenExisting);
    EXPECT_NE(second, kInvalidFile);
    CloseFile(second);
    EXPECT_EQ(OpenFile(path, kGenericWrite, kShareRead | kShareWrite, Creation::OpenExisting), kInvalidFile);
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    // A handle that shares nothing cannot open while anyone reads.
    EXPECT_EQ(OpenFile(path, kGenericRead, 0, Creation::OpenExisting), kInvalidFile);
    // Refusal must not have emptied the file.
    EXPECT_EQ(OpenFile(path, kGenericWrite, 0, Creation::CreateAlways), kInvalidFile);
    EXPECT_EQ(dir.Read("s.txt"), "data");
    CloseFile(reader);

    FileHandle exclusive = OpenFile(path, kGenericRead, 0, Creation::OpenExisting);
    ASSERT_NE(exclusive, kInvalidFile);
    EXPECT_EQ(OpenFile(path, kGenericRead, kShareRead | kShareWrite, Creation::OpenExisting), kInvalidFile);
    CloseFile(exclusive);
    FileHandle after =
        OpenFile(path, kGenericRead | kGenericWrite, kShareRead | kShareWrite, Creation::OpenExisting);
    EXPECT_NE(after, kInvalidFile);
    CloseFile(after);
}

TEST(FileApi, FolderSearchListsSortedMatchesAndReportsTheEnd) {
    TestFolder dir;
    dir.Write("b.png", "x");
    dir.Write("a.gif", "xy");
    dir.Write("README", "");
    std::filesystem::create_directory(dir.File("sub"));
    FindData data;
    FindHandle find = FindFirstFile(dir.WFile("*.*"), data);
    ASSERT_NE(find, kInvalidFind);
    std::vector<std::wstring> names{data.name};
    while (FindNextFile(find, data))
        names.push_back(data.name);
    EXPECT_EQ(GetLastError(), kErrorNoMoreFiles);
    EXPECT_TRUE(FindClose(find));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"README", L"a.gif", L"b.png", L"sub"}));

    find = FindFirstFile(dir.WFile("*.png"), data);
    ASSERT_NE(find, kInvalidFind);
    EXPECT_EQ(data.name, L"b.png");
    EXPECT_EQ(data.size, 1u);
    EXPECT_FALSE(data.attributes & kAttributeDirectory);
    EXPECT_FALSE(FindNextFile(find, data));
    FindClose(find);

    EXPECT_EQ(FindFirstFile(dir.WFile("*.jpg"), data), kInvalidFind);
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_EQ(FindFirstFile(dir.WFile("missing/*.*"), data), kInvalidFind);
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
    EXPECT_TRUE(GetFileAttributes(dir.WFile("sub")) & kAttributeDirectory);
    EXPECT_EQ(GetFileAttributes(dir.WFile("none")), kInvalidAttributes);
}

TEST(FileApi, FoldersAndFilesAreMadeAndRemoved) {
    TestFolder dir;
    EXPECT_TRUE(CreateFolderTree(dir.WFile("a/b/c")));
    EXPECT_TRUE(CreateFolderTree(dir.WFile("a/b/c")));
    EXPECT_FALSE(CreateFolder(dir.WFile("a")));
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
    EXPECT_FALSE(RemoveFolder(dir.WFile("a")));
    EXPECT_EQ(GetLastError(), kErrorDirNotEmpty);
    const auto file = dir.Write("a/f", "1");
    EXPECT_FALSE(DeleteFile(dir.WFile("a")));
    EXPECT_FALSE(CreateFolderTree(file + L"/y"));  // a file stands in the way
    EXPECT_TRUE(DeleteFile(file));
    EXPECT_FALSE(DeleteFile(file));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

TEST(FileApi, ErrorTextsAreThePlatformsOwn) {
    EXPECT_EQ(ErrorMessage(kErrorFileNotFound), L"The system cannot find the file specified.");
    EXPECT_EQ(ErrorMessage(kErrorAccessDenied), L"Access is denied.");
    EXPECT_EQ(ErrorMessage(kErrorNoMoreFiles), L"There are no more files.");
    // Errors without a platform number keep the system's own text.
    EXPECT_FALSE(ErrorMessage(ErrorFromErrno(ELOOP)).empty());
    EXPECT_EQ(ErrorMessage(12345), L"");
}

TEST(FileApi, AtomicWriteReplacesWholeAndLeavesNoTemporaries) {
    TestFolder dir;
    const auto path = dir.Write("f_1.xml", "old");
    ::chmod(dir.File("f_1.xml").c_str(), 0640);
    EXPECT_TRUE(WriteFileAtomically(path, "new content"));
    EXPECT_EQ(dir.Read("f_1.xml"), "new content");
    struct stat st {};
    ::stat(dir.File("f_1.xml").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file keeps its mode
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
    EXPECT_FALSE(WriteFileAtomically(dir.WFile("missing/f.xml"), "x"));
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
    EXPECT_FALSE(WriteFileAtomically(dir.WPath(), "x"));  // a folder is never replaced
}

TEST(FileApi, OnlyRegularFilesAreOpenedOrReadAndNeverBlock) {
    TestFolder dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/urandom", dir.File("random"));
    std::string bytes;
    for (const std::string& name : {fifo, dir.File("random")}) {
        SCOPED_TRACE(name);
        const std::wstring path(name.begin(), name.end());
        EXPECT_EQ(ReadRegularFile(path, 1024, bytes), FileReadResult::NotRegular);
        EXPECT_EQ(OpenFile(path, kGenericRead, kShareRead, Creation::OpenExisting), kInvalidFile);
        EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    }
    EXPECT_EQ(OpenFile(dir.WFile("fifo"), kGenericWrite, kShareRead, Creation::OpenAlways), kInvalidFile);

    FileHandle h = OpenFile(dir.WFile("f"), kGenericWrite, 0, Creation::CreateNew);
    ASSERT_NE(h, kInvalidFile);
    std::uint32_t written = 0;
    ASSERT_TRUE(WriteFile(h, "0123456789", 10, &written));
    CloseFile(h);
    EXPECT_EQ(ReadRegularFile(dir.WFile("f"), 10, bytes), FileReadResult::Ok);
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_EQ(ReadRegularFile(dir.WFile("f"), 9, bytes), FileReadResult::TooLarge);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(ReadRegularFile(dir.WFile("none"), 9, bytes), FileReadResult::Missing);
    EXPECT_EQ(DescribeFileRead(FileReadResult::NotRegular, 9), "not a regular file");
}
