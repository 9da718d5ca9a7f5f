#include "util/XmlFileStream.h"

namespace ZEP_Utility {

using namespace ob::kernel;

bool FileStream::Open(const std::wstring& path, bool readMode) {
    Close();
    m_readMode = readMode;
    m_handle = OpenFile(path, readMode ? kGenericRead : kGenericWrite, kShareRead,
                        readMode ? Creation::OpenExisting : Creation::CreateAlways);
    return m_handle != kInvalidFile;
}

void FileStream::Close() {
    if (m_handle != kInvalidFile)
        CloseFile(m_handle);
    m_handle = kInvalidFile;
}

FileStream::Result FileStream::Read(void* buffer, std::uint32_t count, std::uint32_t* bytesRead) {
    std::uint32_t read = 0;
    if (bytesRead)
        *bytesRead = 0;
    if (!m_readMode || m_handle == kInvalidFile || !ReadFile(m_handle, buffer, count, &read))
        return kFail;
    if (bytesRead)
        *bytesRead = read;
    return read > 0 ? kOk : kEndOfFile;
}

FileStream::Result FileStream::Write(const void* buffer, std::uint32_t count, std::uint32_t* bytesWritten) {
    std::uint32_t written = 0;
    if (bytesWritten)
        *bytesWritten = 0;
    if (m_readMode || m_handle == kInvalidFile || !WriteFile(m_handle, buffer, count, &written))
        return kFail;
    if (bytesWritten)
        *bytesWritten = written;
    return kOk;
}

}  // namespace ZEP_Utility
