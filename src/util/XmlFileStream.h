// The strictly sequential file stream that feeds files to the XML document:
// read or write from the start to the end, nothing else.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/FileApi.h"

namespace ZEP_Utility {

class FileStream {
public:
    enum Result : int { kOk = 0, kEndOfFile = 1, kFail = -1 };

    FileStream() = default;
    ~FileStream() { Close(); }
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Read mode opens an existing file for reading; write mode creates (or
    // empties) it. Others may read it meanwhile.
    bool Open(const std::wstring& path, bool readMode);
    void Close();
    // kOk when at least one byte was read, kEndOfFile at the end, kFail on
    // an error or in write mode.
    Result Read(void* buffer, std::uint32_t count, std::uint32_t* bytesRead);
    Result Write(const void* buffer, std::uint32_t count, std::uint32_t* bytesWritten);
    // The stream cannot move.
    Result Seek(std::int64_t, int) { return kFail; }

private:
    ob::kernel::FileHandle m_handle = ob::kernel::kInvalidFile;
    bool m_readMode = true;
};

}  // namespace ZEP_Utility
