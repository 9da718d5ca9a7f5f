#include "app/ImageLoaders.h"

#include <algorithm>
#include <cstring>

#include "platform/kernel/FileApi.h"
#include "platform/ui/image/ImageCodec.h"
#include "wnd/Paint.h"

namespace OBControls {

namespace {
constexpr DWORD kTransferBufferSize = 1024;
}

HBITMAP ImageLoaderBase::Decode() {
    BYTE transfer[kTransferBufferSize];
    HBITMAP bitmap = nullptr;
    const ZEP_Wnd::WindowDC screen(nullptr);
    DecompressImageInfo info{};
    info.dwSize = 60;
    info.pbBuffer = transfer;
    info.dwBufferMax = kTransferBufferSize;
    info.dwBufferCurrent = 0;
    info.phBM = &bitmap;
    info.ppImageRender = nullptr;
    info.iBitDepth = 24;
    info.lParam = reinterpret_cast<LPARAM>(this);
    info.hdc = screen;
    info.iScale = 100;
    info.iMaxWidth = -1;
    info.iMaxHeight = -1;
    info.pfnGetData = &ImageLoaderBase::ReadCallback;
    info.pfnImageProgress = nullptr;
    info.crTransparentOverride = static_cast<COLORREF>(-1);
    const HRESULT hr = ::DecompressImageIndirect(&info);
    ZEP_Wnd::OwnedBitmap decoded(bitmap);
    return hr < 0 ? nullptr : decoded.Release();  // a failed decoding's bitmap is deleted here
}

DWORD ImageLoaderBase::ReadCallback(char* buffer, DWORD max, LPARAM context) {
    auto* loader = reinterpret_cast<ImageLoaderBase*>(context);
    return loader && buffer ? loader->Read(buffer, max) : 0;
}

HBITMAP FileImageLoader::Load(const std::wstring& path) {
    m_bytes.clear();
    m_position = 0;
    if (ob::kernel::ReadRegularFile(path, kMaxFileBytes, m_bytes) != ob::kernel::FileReadResult::Ok)
        return nullptr;
    HBITMAP bitmap = Decode();
    m_bytes = std::string();
    return bitmap;
}

DWORD FileImageLoader::Read(char* buffer, DWORD max) {
    const std::size_t count = std::min<std::size_t>(m_bytes.size() - m_position, max);
    if (count > 0)
        std::memcpy(buffer, m_bytes.data() + m_position, count);
    m_position += count;
    return static_cast<DWORD>(count);
}

HBITMAP MemImageLoader::Load(const void* data, std::size_t size) {
    m_data = static_cast<const unsigned char*>(data);
    m_size = data ? size : 0;
    m_position = 0;
    if (m_size == 0)
        return nullptr;
    return Decode();
}

DWORD MemImageLoader::Read(char* buffer, DWORD max) {
    const std::size_t count = std::min<std::size_t>(m_size - m_position, max);
    if (count > 0)
        std::memcpy(buffer, m_data + m_position, count);
    m_position += count;
    return static_cast<DWORD>(count);
}

}  // namespace OBControls
