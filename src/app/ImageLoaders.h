// Loaders that feed compressed pictures (the world maps, the weather icons)
// to the platform's image decompression call, which pulls the bytes through
// a read callback and hands back a 24-bit bitmap.
#pragma once

#include <cstddef>
#include <string>

#include "platform/ui/Windows.h"

namespace OBControls {

class ImageLoaderBase {
public:
    ImageLoaderBase() = default;
    ImageLoaderBase(const ImageLoaderBase&) = delete;
    ImageLoaderBase& operator=(const ImageLoaderBase&) = delete;
    virtual ~ImageLoaderBase() = default;

    // The decoded picture (the caller owns it), or nullptr.
    HBITMAP Decode();

protected:
    // Copies up to `max` bytes into `buffer`; returns how many (0 at the end).
    virtual DWORD Read(char* buffer, DWORD max) = 0;

private:
    static DWORD ReadCallback(char* buffer, DWORD max, LPARAM context);
};

// Reads a picture file: a regular file of at most kMaxFileBytes, opened
// without blocking, so a pipe or a device named like a picture is refused.
class FileImageLoader : public ImageLoaderBase {
public:
    static constexpr std::size_t kMaxFileBytes = 4u << 20;
    // nullptr when the file cannot be read or does not decode.
    HBITMAP Load(const std::wstring& path);

protected:
    DWORD Read(char* buffer, DWORD max) override;

private:
    std::string m_bytes;
    std::size_t m_position = 0;
};

// Reads a picture held in memory (a resource).
class MemImageLoader : public ImageLoaderBase {
public:
    HBITMAP Load(const void* data, std::size_t size);

protected:
    DWORD Read(char* buffer, DWORD max) override;

private:
    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_position = 0;
};

}  // namespace OBControls
