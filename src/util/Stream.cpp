#include "util/Stream.h"

#include <vector>

#include "platform/kernel/WideText.h"
#include "util/Exception.h"

namespace ZEP_IO {

using namespace ob::kernel;

namespace {

Creation CreationFor(FileMode mode) {
    switch (mode) {
    case FileMode::Append: return Creation::OpenAlways;
    case FileMode::Create: return Creation::CreateAlways;
    case FileMode::CreateNew: return Creation::CreateNew;
    case FileMode::Open: return Creation::OpenExisting;
    case FileMode::OpenOrCreate: return Creation::OpenAlways;
    case FileMode::Truncate: return Creation::TruncateExisting;
    }
    return Creation::OpenExisting;
}

std::uint32_t AccessFor(FileAccess access) {
    switch (access) {
    case FileAccess::Read: return kGenericRead;
    case FileAccess::ReadWrite: return kGenericRead | kGenericWrite;
    case FileAccess::Write: return kGenericWrite;
    }
    return kGenericRead;
}

std::uint32_t ShareFor(FileShare share) {
    switch (share) {
    case FileShare::None: return 0;
    case FileShare::Read: return kShareRead;
    case FileShare::ReadWrite: return kShareRead | kShareWrite;
    case FileShare::Write: return kShareWrite;
    }
    return 0;
}

}  // namespace

FileStream::FileStream(const std::wstring& path, FileMode mode, FileAccess access, FileShare share)
    : m_access(access) {
    m_handle = OpenFile(path, AccessFor(access), ShareFor(share), CreationFor(mode));
    if (m_handle == kInvalidFile)
        IOException::ThrowLastError();
    if (mode == FileMode::Append && SeekFile(m_handle, 0, SeekOrigin::End) < 0) {
        const auto error = GetLastError();
        CloseFile(m_handle);
        m_handle = kInvalidFile;
        throw IOException(L"IO exception", error);
    }
}

FileStream::~FileStream() {
    if (m_handle != kInvalidFile)
        CloseFile(m_handle);
}

bool FileStream::CanRead() { return m_access != FileAccess::Write; }
bool FileStream::CanWrite() { return m_access != FileAccess::Read; }

std::uint32_t FileStream::GetLength() {
    const std::int64_t size = GetFileSize(m_handle);
    if (size < 0)
        IOException::ThrowLastError();
    return static_cast<std::uint32_t>(size);
}

std::uint32_t FileStream::GetPosition() { return Seek(0, 1); }

void FileStream::Close() {
    if (m_handle == kInvalidFile)
        return;
    const bool ok = CloseFile(m_handle);
    m_handle = kInvalidFile;
    if (!ok)
        IOException::ThrowLastError();
}

void FileStream::Flush() {
    if (!FlushFileBuffers(m_handle))
        IOException::ThrowLastError();
}

std::uint32_t FileStream::Read(void* buffer, std::uint32_t offset, std::uint32_t count) {
    std::uint32_t read = 0;
    if (!ReadFile(m_handle, static_cast<char*>(buffer) + offset, count, &read))
        IOException::ThrowLastError();
    return read;
}

void FileStream::Write(const void* buffer, std::uint32_t offset, std::uint32_t count) {
    const char* bytes = static_cast<const char*>(buffer) + offset;
    std::uint32_t done = 0;
    while (done < count) {
        std::uint32_t written = 0;
        if (!WriteFile(m_handle, bytes + done, count - done, &written))
            IOException::ThrowLastError();
        if (written == 0)
            throw IOException(L"IO exception", kErrorDiskFull);  // the device took nothing: never spin
        done += written;
    }
}

std::uint32_t FileStream::Seek(std::int32_t offset, int origin) {
    const SeekOrigin from = origin == 0   ? SeekOrigin::Begin
                            : origin == 2 ? SeekOrigin::End
                                          : SeekOrigin::Current;
    const std::int64_t position = SeekFile(m_handle, offset, from);
    if (position < 0)
        IOException::ThrowLastError();
    return static_cast<std::uint32_t>(position);
}

void FileStream::SetLength(std::uint32_t length) {
    const std::uint32_t position = GetPosition();
    Seek(static_cast<std::int32_t>(length), 0);
    if (!SetEndOfFile(m_handle))
        IOException::ThrowLastError();
    Seek(static_cast<std::int32_t>(position), 0);
}

std::wstring ReadAllText(Stream& stream) {
    unsigned char mark[2] = {0, 0};
    const std::uint32_t got = stream.Read(mark, 0, 2);
    if (got == 0)
        return {};
    const bool littleEndian = got == 2 && mark[0] == 0xFF && mark[1] == 0xFE;
    const bool bigEndian = got == 2 && mark[0] == 0xFE && mark[1] == 0xFF;
    std::vector<unsigned char> bytes;
    if (littleEndian || bigEndian) {
        const std::uint32_t length = stream.GetLength();
        const std::uint32_t position = stream.GetPosition();
        bytes.resize(length > position ? length - position : 0);
    } else {
        stream.Seek(-static_cast<std::int32_t>(got), 1);
        bytes.resize(stream.GetLength());
    }
    // One read may return less than asked; keep reading to the end.
    std::uint32_t filled = 0;
    while (filled < bytes.size()) {
        const std::uint32_t n =
            stream.Read(bytes.data(), filled, static_cast<std::uint32_t>(bytes.size()) - filled);
        if (n == 0)
            break;
        filled += n;
    }
    bytes.resize(filled);

    if (littleEndian || bigEndian) {
        std::u16string units;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const char16_t unit = bigEndian ? static_cast<char16_t>((bytes[i] << 8) | bytes[i + 1])
                                            : static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
            if (unit == 0)
                break;
            units += unit;
        }
        // Pair surrogates into the wide characters of this platform.
        std::wstring text;
        for (size_t i = 0; i < units.size(); ++i) {
            const char32_t u = units[i];
            if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                units[i + 1] <= 0xDFFF) {
                text += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
                ++i;
            } else if (u >= 0xD800 && u <= 0xDFFF) {
                text += L'\xFFFD';
            } else {
                text += static_cast<wchar_t>(u);
            }
        }
        return text;
    }
    std::string_view utf8(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    utf8 = utf8.substr(0, utf8.find('\0'));
    // An editor's UTF-8 mark is not part of the text.
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF")
        utf8.remove_prefix(3);
    return FromUtf8(utf8);
}

}  // namespace ZEP_IO
