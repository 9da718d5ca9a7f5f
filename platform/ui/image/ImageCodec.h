// Pictures to bitmaps and back: JPEG (libjpeg-turbo), PNG (libpng) and BMP
// (our own reader), recognised by their signatures. A picture that cannot
// be decoded yields no bitmap; nothing here exits or throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/Gdi.h"

namespace ob::ui {

class Surface;

// Reads up to `max` bytes into `buffer`; returns how many (0 at the end).
using ImageReadFn = std::function<std::size_t(std::uint8_t* buffer, std::size_t max)>;

// Decoded pixels. Pictures with transparency keep it (premultiplied alpha).
std::unique_ptr<Surface> DecodeImageToSurface(const void* data, std::size_t size);
std::unique_ptr<Surface> DecodeImageStreamToSurface(const ImageReadFn& read);
std::unique_ptr<Surface> LoadImageFileToSurface(const std::string& path);

// A bitmap of the picture (24 or 32 bits as asked; transparent pixels are
// laid over white), or nullptr.
HBITMAP DecodeImage(const void* data, std::size_t size, int bitDepth = 24);
HBITMAP DecodeImageStream(const ImageReadFn& read, int bitDepth = 24);
HBITMAP LoadImageFile(const std::string& path, int bitDepth = 24);

// Writes the surface (or bitmap) as a PNG file; false on any failure.
bool SavePng(Surface& surface, const std::string& path);
bool SavePng(HBITMAP bitmap, const std::string& path);

}  // namespace ob::ui

// The device's image decompression call, shaped as the program used it: the
// decoder pulls the picture's bytes through pfnGetData and hands back a
// bitmap in *phBM.
using GETIMAGEDATA = DWORD (*)(char* buffer, DWORD bufferMax, LPARAM param);
using IMAGEPROGRESS = void (*)(void* render, BOOL complete, LPARAM param);

struct DecompressImageInfo {
    DWORD dwSize;
    BYTE* pbBuffer;
    DWORD dwBufferMax;
    DWORD dwBufferCurrent;
    HBITMAP* phBM;
    void** ppImageRender;
    int iBitDepth;
    LPARAM lParam;
    HDC hdc;
    int iScale;
    int iMaxWidth;
    int iMaxHeight;
    GETIMAGEDATA pfnGetData;
    IMAGEPROGRESS pfnImageProgress;
    COLORREF crTransparentOverride;
};

using HRESULT = std::int32_t;  // the same alias may be declared elsewhere

// 0 (S_OK) with a bitmap, or a negative error: 0x80070057 (E_INVALIDARG)
// for missing parameters, 0x80004005 (E_FAIL) for a picture that does not
// decode.
HRESULT DecompressImageIndirect(DecompressImageInfo* info);
