#include "platform/ui/image/ImageCodec.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "platform/kernel/FileApi.h"
#include "platform/kernel/WideText.h"
#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/image/Decoders.h"

namespace ob::ui {
namespace {

constexpr std::size_t kMaxPictureBytes = 64u << 20;
// Picture files are opened like every other file the program reads: regular
// files only, without blocking, and no larger than this.
constexpr std::size_t kMaxPictureFileBytes = 16u << 20;

std::unique_ptr<Surface> Decode(const std::uint8_t* p, std::size_t n) {
    if (!p || n < 4)
        return nullptr;
    // A picture there is no memory for is no picture, like a broken file.
    try {
        if (p[0] == 0xFF && p[1] == 0xD8)
            return DecodeJpeg(p, n);
        if (n >= 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0)
            return DecodePng(p, n);
        if (p[0] == 'B' && p[1] == 'M')
            return DecodeBmp(p, n);
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}

bool ReadAll(const ImageReadFn& read, std::vector<std::uint8_t>& out) {
    if (!read)
        return false;
    std::uint8_t chunk[16384];
    for (;;) {
        const std::size_t got = read(chunk, sizeof chunk);
        if (got == 0)
            return true;
        if (got > sizeof chunk || out.size() + got > kMaxPictureBytes)
            return false;
        out.insert(out.end(), chunk, chunk + got);
    }
}

HBITMAP ToBitmap(std::unique_ptr<Surface> s, int bitDepth) {
    if (!s)
        return nullptr;
    if (s->HasAlpha()) {
        // A bitmap has no transparency: lay the picture over white.
        for (int y = 0; y < s->Height(); ++y) {
            std::uint32_t* row = s->Row(y);
            for (int x = 0; x < s->Width(); ++x) {
                const std::uint32_t p = row[x];
                const std::uint32_t inv = 255 - (p >> 24);
                auto ch = [&](int shift) {
                    return std::min<std::uint32_t>(255, ((p >> shift) & 0xFF) + inv) << shift;
                };
                row[x] = 0xFF000000u | ch(16) | ch(8) | ch(0);
            }
        }
        s->DropAlpha();
    }
    return BitmapFromSurface(std::move(s), bitDepth == 32 ? 32 : 24);
}

}  // namespace

std::unique_ptr<Surface> DecodeImageToSurface(const void* data, std::size_t size) {
    return Decode(static_cast<const std::uint8_t*>(data), size);
}

std::unique_ptr<Surface> DecodeImageStreamToSurface(const ImageReadFn& read) {
    std::vector<std::uint8_t> bytes;
    try {
        if (!ReadAll(read, bytes))
            return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return Decode(bytes.data(), bytes.size());
}

std::unique_ptr<Surface> LoadImageFileToSurface(const std::string& path) {
    // A NUL in a decoded address would cut the path short of what was asked.
    if (path.find('\0') != std::string::npos)
        return nullptr;
    std::string bytes;
    try {
        if (ob::kernel::ReadRegularFile(ob::kernel::FromUtf8(path), kMaxPictureFileBytes, bytes) !=
            ob::kernel::FileReadResult::Ok)
            return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return Decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

HBITMAP DecodeImage(const void* data, std::size_t size, int bitDepth) {
    return ToBitmap(DecodeImageToSurface(data, size), bitDepth);
}

HBITMAP DecodeImageStream(const ImageReadFn& read, int bitDepth) {
    return ToBitmap(DecodeImageStreamToSurface(read), bitDepth);
}

HBITMAP LoadImageFile(const std::string& path, int bitDepth) {
    return ToBitmap(LoadImageFileToSurface(path), bitDepth);
}

bool SavePng(HBITMAP bitmap, const std::string& path) {
    Surface* s = SurfaceOfBitmap(bitmap);
    return s && SavePng(*s, path);
}

}  // namespace ob::ui

HRESULT DecompressImageIndirect(DecompressImageInfo* info) {
    constexpr HRESULT kInvalidArg = static_cast<HRESULT>(0x80070057u);
    constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005u);
    if (!info || !info->phBM || !info->pfnGetData)
        return kInvalidArg;
    *info->phBM = nullptr;
    if (info->ppImageRender)
        *info->ppImageRender = nullptr;
    GETIMAGEDATA get = info->pfnGetData;
    LPARAM param = info->lParam;
    HBITMAP bmp = ob::ui::DecodeImageStream(
        [get, param](std::uint8_t* buf, std::size_t max) {
            return static_cast<std::size_t>(
                get(reinterpret_cast<char*>(buf), static_cast<DWORD>(max), param));
        },
        info->iBitDepth == 32 ? 32 : 24);
    if (!bmp)
        return kFail;
    *info->phBM = bmp;
    if (info->pfnImageProgress)
        info->pfnImageProgress(nullptr, TRUE, param);
    return 0;
}
