#include "app/ImageLoaders.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/kernel/WideText.h"
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

FileImageLoader::~FileImageLoader() { Close(); }

void FileImageLoader::Close() {
    if (m_file >= 0)
        ::close(m_file);
    m_file = -1;
}

HBITMAP FileImageLoader::Load(const std::wstring& path) {
    Close();
    m_file = ::open(ob::kernel::ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (m_file < 0)
        return nullptr;
    HBITMAP bitmap = Decode();
    Close();
    return bitmap;
}

DWORD FileImageLoader::Read(char* buffer, DWORD max) {
    if (m_file < 0)
        return 0;
    for (;;) {
        const ssize_t got = ::read(m_file, buffer, max);
        if (got >= 0)
            return static_cast<DWORD>(got);
        if (errno != EINTR)
            return 0;
    }
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
