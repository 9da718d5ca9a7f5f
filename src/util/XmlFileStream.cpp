#include "util/XmlFileStream.h"

namespace ZEP_Utility {

using namespace ob::kernel;

bool FileStream::Open(const std::wstring& path, bool readMode) {
    Close();
    readMode_ = readMode;
    handle_ = OpenFile(path, readMode ? kGenericRead : kGenericWrite, kShareRead,
                       readMode ? Creation::OpenExisting : Creation::CreateAlways);
    return handle_ != kInvalidFile;
}

void FileStream::Close() {
    if (handle_ != kInvalidFile)
        CloseFile(handle_);
    handle_ = kInvalidFile;
}

FileStream::Result FileStream::Read(void* buffer, std::uint32_t count, std::uint32_t* bytesRead) {
    std::uint32_t read = 0;
    if (bytesRead)
        *bytesRead = 0;
    if (!readMode_ || handle_ == kInvalidFile || !ReadFile(handle_, buffer, count, &read))
        return kFail;
    if (bytesRead)
        *bytesRead = read;
    return read > 0 ? kOk : kEndOfFile;
}

FileStream::Result FileStream::Write(const void* buffer, std::uint32_t count, std::uint32_t* bytesWritten) {
    std::uint32_t written = 0;
    if (bytesWritten)
        *bytesWritten = 0;
    if (readMode_ || handle_ == kInvalidFile || !WriteFile(handle_, buffer, count, &written))
        return kFail;
    if (bytesWritten)
        *bytesWritten = written;
    return kOk;
}

}  // namespace ZEP_Utility
