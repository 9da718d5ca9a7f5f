#include "wnd/Library.h"

#include <memory>
#include <vector>

#include "wnd/Window.h"

namespace ZEP_Wnd {
namespace {

HINSTANCE g_instance = nullptr;
App* g_app = nullptr;
std::unique_ptr<WindowManager> g_manager;
std::unique_ptr<WindowClassRegistrar> g_registrar;

}  // namespace

HINSTANCE GetInstanceHandle() {
    if (!g_instance)
        g_instance = ::GetModuleHandle(nullptr);
    return g_instance;
}

void SetInstanceHandle(HINSTANCE instance) { g_instance = instance; }
App* GetApp() { return g_app; }
void SetApp(App* app) { g_app = app; }

WindowManager* GetWindowManager() {
    if (!g_manager)
        g_manager = std::make_unique<WindowManager>();
    return g_manager.get();
}

WindowClassRegistrar* GetClassRegistrar() {
    if (!g_registrar)
        g_registrar = std::make_unique<WindowClassRegistrar>();
    return g_registrar.get();
}

bool CreateLibraryObjects() { return GetWindowManager() != nullptr && GetClassRegistrar() != nullptr; }

void DeleteLibraryObjects() {
    g_manager.reset();
    g_registrar.reset();
}

std::wstring LoadString(UINT id) {
    std::vector<wchar_t> buffer(4096);
    const int length = ::LoadString(GetInstanceHandle(), id, buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0)
        return {};
    return std::wstring(buffer.data(), static_cast<size_t>(length));
}

HFONT CreatePointFont(int points, bool bold, bool italic, bool underline) {
    LOGFONTW font{};
    int dpi = 96;
    {
        const WindowDC screen(nullptr);
        if (screen)
            dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    }
    font.lfHeight = -(points * dpi / 72);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = italic ? 1 : 0;
    font.lfUnderline = underline ? 1 : 0;
    std::wcsncpy(font.lfFaceName, L"Tahoma", sizeof(font.lfFaceName) / sizeof(font.lfFaceName[0]) - 1);
    return ::CreateFontIndirect(&font);
}

ATOM RegisterWindowClass(const std::wstring& name, HICON icon, HCURSOR cursor, HBRUSH background,
                         LPCWSTR menuName) {
    return GetClassRegistrar()->Register(name, icon, cursor, background, menuName);
}

OffscreenBuffer::~OffscreenBuffer() = default;

bool OffscreenBuffer::EnsureSize(HDC reference, int width, int height) {
    if (width <= 0 || height <= 0)
        return false;
    if (!m_memory) {
        m_memory.emplace(reference);
        if (!*m_memory) {
            m_memory.reset();
            return false;
        }
    }
    if (m_bitmap && width == m_width && height == m_height)
        return true;
    OwnedBitmap bitmap(::CreateCompatibleBitmap(reference, width, height));
    if (!bitmap)
        return false;
    m_selection.reset();  // the DC's own bitmap goes back in first
    m_selection.emplace(*m_memory, bitmap);
    m_bitmap = std::move(bitmap);  // the old one, no longer selected, is deleted
    m_width = width;
    m_height = height;
    return true;
}

}  // namespace ZEP_Wnd
