// Byte streams: the abstract Stream, FileStream over a platform file, and
// reading a whole stream as text by its byte-order mark. Every platform
// failure raises ZEP_IO::IOException.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/FileApi.h"

namespace ZEP_IO {

class Stream {
public:
    virtual ~Stream() = default;
    virtual bool CanRead() = 0;
    virtual bool CanWrite() = 0;
    virtual bool CanSeek() = 0;
    virtual std::uint32_t GetLength() = 0;
    virtual std::uint32_t GetPosition() = 0;
    virtual void Close() = 0;
    virtual void Flush() = 0;
    // Bytes read into buffer + offset; 0 at the end.
    virtual std::uint32_t Read(void* buffer, std::uint32_t offset, std::uint32_t count) = 0;
    virtual void Write(const void* buffer, std::uint32_t offset, std::uint32_t count) = 0;
    // origin: 0 beginning, 2 end, anything else the current position.
    virtual std::uint32_t Seek(std::int32_t offset, int origin) = 0;
    virtual void SetLength(std::uint32_t length) = 0;
};

enum class FileMode { Append = 0, Create = 1, CreateNew = 2, Open = 3, OpenOrCreate = 4, Truncate = 5 };
enum class FileAccess { Read = 0, ReadWrite = 1, Write = 2 };
enum class FileShare { None = 0, Read = 1, ReadWrite = 2, Write = 3 };

class FileStream : public Stream {
public:
    FileStream(const std::wstring& path, FileMode mode, FileAccess access, FileShare share);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    bool CanRead() override;
    bool CanWrite() override;
    bool CanSeek() override { return true; }
    std::uint32_t GetLength() override;
    std::uint32_t GetPosition() override;
    void Close() override;
    void Flush() override;
    std::uint32_t Read(void* buffer, std::uint32_t offset, std::uint32_t count) override;
    void Write(const void* buffer, std::uint32_t offset, std::uint32_t count) override;
    std::uint32_t Seek(std::int32_t offset, int origin) override;
    void SetLength(std::uint32_t length) override;

private:
    ob::kernel::FileHandle m_handle = ob::kernel::kInvalidFile;
    FileAccess m_access;
};

// The whole stream as text: UTF-16 (either byte order) after its mark,
// otherwise UTF-8 (a UTF-8 mark is skipped). The text ends at the first NUL.
std::wstring ReadAllText(Stream& stream);

}  // namespace ZEP_IO
