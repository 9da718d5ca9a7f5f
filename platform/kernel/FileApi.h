// Files and folders as the program expects them of its platform: handles,
// creation rules, access and sharing, folder searches with wildcards, and the
// platform's numeric error codes with their texts. Every call records its
// outcome in the calling thread's last error (GetLastError), as the program's
// file layer reads it after each call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/kernel/Clock.h"

namespace ob::kernel {

// Error codes, numbered as the platform numbers them.
constexpr std::uint32_t kErrorSuccess = 0;
constexpr std::uint32_t kErrorInvalidFunction = 1;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorTooManyOpenFiles = 4;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorNotEnoughMemory = 8;
constexpr std::uint32_t kErrorNoMoreFiles = 18;
constexpr std::uint32_t kErrorWriteProtect = 19;
constexpr std::uint32_t kErrorGenFailure = 31;
constexpr std::uint32_t kErrorSharingViolation = 32;
constexpr std::uint32_t kErrorHandleEof = 38;
constexpr std::uint32_t kErrorNotSupported = 50;
constexpr std::uint32_t kErrorFileExists = 80;
constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorDiskFull = 112;
constexpr std::uint32_t kErrorInvalidName = 123;
constexpr std::uint32_t kErrorNegativeSeek = 131;
constexpr std::uint32_t kErrorDirNotEmpty = 145;
constexpr std::uint32_t kErrorBusy = 170;
constexpr std::uint32_t kErrorAlreadyExists = 183;
constexpr std::uint32_t kErrorFilenameTooLong = 206;
constexpr std::uint32_t kErrorDirectoryInvalid = 267;
constexpr std::uint32_t kErrorIoDevice = 1117;
// A system error with no platform number of its own: this bit plus errno.
constexpr std::uint32_t kErrorFromErrno = 0x20000000;

std::uint32_t GetLastError();
void SetLastError(std::uint32_t code);
// The platform code for a POSIX errno value.
std::uint32_t ErrorFromErrno(int errnoValue);
// The system's text for an error code ("The system cannot find the file
// specified."); empty for a code the system has no text for.
std::wstring ErrorMessage(std::uint32_t code);

// Access rights, sharing and creation rules for OpenFile.
constexpr std::uint32_t kGenericRead = 0x80000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;
constexpr std::uint32_t kShareRead = 0x1;
constexpr std::uint32_t kShareWrite = 0x2;
enum class Creation : std::uint32_t {
    CreateNew = 1,         // fail when the file exists
    CreateAlways = 2,      // create or empty
    OpenExisting = 3,      // fail when missing
    OpenAlways = 4,        // open or create
    TruncateExisting = 5,  // open an existing file and empty it
};

// An open file. Closed by CloseFile; kInvalidFile on failure.
using FileHandle = std::intptr_t;
constexpr FileHandle kInvalidFile = -1;

// Opens `path`. Sharing is honoured between every handle of any process that
// opens files through this call (advisory locks, as POSIX has no others).
FileHandle OpenFile(const std::wstring& path, std::uint32_t access, std::uint32_t share, Creation creation);
bool ReadFile(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t* bytesRead);
bool WriteFile(FileHandle file, const void* buffer, std::uint32_t count, std::uint32_t* bytesWritten);
enum class SeekOrigin { Begin = 0, Current = 1, End = 2 };
// The new position, or -1 on failure.
std::int64_t SeekFile(FileHandle file, std::int64_t offset, SeekOrigin origin);
// The file's size, or -1 on failure.
std::int64_t GetFileSize(FileHandle file);
// Cuts or extends the file at the current position.
bool SetEndOfFile(FileHandle file);
bool FlushFileBuffers(FileHandle file);
bool CloseFile(FileHandle file);

// File attributes.
constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeHidden = 0x02;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeNormal = 0x80;
constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFF;

std::uint32_t GetFileAttributes(const std::wstring& path);
bool CreateFolder(const std::wstring& path);
bool RemoveFolder(const std::wstring& path);
bool DeleteFile(const std::wstring& path);
// Creates the folder and any missing parents (mode 0755 for new ones).
bool CreateFolderTree(const std::wstring& path);

// One entry of a folder search.
struct FindData {
    std::uint32_t attributes = 0;
    Ticks creationTime = 0;
    Ticks lastAccessTime = 0;
    Ticks lastWriteTime = 0;
    std::uint64_t size = 0;
    std::wstring name;  // the entry's name without its folder
};
using FindHandle = std::intptr_t;
constexpr FindHandle kInvalidFind = -1;

// Searches "folder/pattern"; the pattern may hold * and ? ("*.*" matches every
// name, with or without a full stop). "." and ".." are never listed. When
// nothing matches the handle is invalid and the last error is
// kErrorFileNotFound; a missing folder gives kErrorPathNotFound.
FindHandle FindFirstFile(const std::wstring& pattern, FindData& data);
// False with kErrorNoMoreFiles when the search is complete.
bool FindNextFile(FindHandle find, FindData& data);
bool FindClose(FindHandle find);

// Wildcard match of a whole name as folder searches do it (case-sensitive).
bool MatchesPattern(std::wstring_view name, std::wstring_view pattern);

// Writes `bytes` as the whole content of `path` so that readers only ever see
// the old or the new content: a temporary file in the same folder is written,
// flushed to disk and renamed over the target. False (with the last error set)
// when anything fails; the target is then untouched. A replaced file keeps
// its permissions; only a regular file is replaced. The temporary file has a
// unique hidden name (".<name>.<pid>.<n>.tmp") unless `tempPath` names one.
bool WriteFileAtomically(const std::wstring& path, std::string_view bytes, const std::wstring& tempPath = {});

// Which file a path names and how it stood: a file edited in place gets a
// new time or size, one written and renamed over it a new inode.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of what `path` names now (links followed); nothing when it does not exist.
std::optional<FileStamp> GetFileStamp(const std::wstring& path);

// What ReadRegularFile found.
enum class FileReadResult { Ok, Missing, NotRegular, TooLarge, Failed };

// Reads the whole of `path` into `bytes` when it is a regular file of at most
// `maxBytes`. The file is opened without blocking and its type checked before
// anything is read, so a FIFO, a device or a folder is refused at once; a file
// larger than `maxBytes` (or one that grows past it while read) is refused
// without being held in memory. `bytes` is empty unless the result is Ok.
FileReadResult ReadRegularFile(const std::wstring& path, std::size_t maxBytes, std::string& bytes);

// Why a read was refused, for a message: "not a regular file", "larger than
// 4 MB", "missing", "unreadable (Permission denied)". Empty for Ok.
std::string DescribeFileRead(FileReadResult result, std::size_t maxBytes);

}  // namespace ob::kernel
