#include "wnd/Window.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Shell.h"
#include "wnd/App.h"
#include "wnd/Library.h"

namespace ZEP_Wnd {

Window::Window() = default;

Window::~Window() {
    // Deleting an object leaves its window alive; the window must then stop
    // reaching the object, so it goes back to its own procedure.
    if (m_hwnd) {
        if (m_previousProc && ::IsWindow(m_hwnd))
            ::SetWindowLongPtr(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
        GetWindowManager()->Unregister(m_hwnd);
    }
}

bool Window::Destroy() {
    if (!m_hwnd)
        return false;
    const HWND hwnd = m_hwnd;
    if (!::DestroyWindow(hwnd))
        return false;
    m_hwnd = nullptr;
    return true;
}

bool Window::IsReflectedMessage(UINT message) {
    switch (message) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_NOTIFY: return true;
    default: return false;
    }
}

HWND Window::ReflectionSource(HWND self, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM: return lParam ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM: {
        // These three records start with the control type and the control id.
        if (!lParam)
            return nullptr;
        const UINT id = reinterpret_cast<const UINT*>(lParam)[1];
        return ::GetDlgItem(self, static_cast<int>(id));
    }
    case WM_NOTIFY: return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    default:
        // Commands, scrolls, list keys and control colours carry the control.
        return reinterpret_cast<HWND>(lParam);
    }
}

bool Window::ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!m_hwnd || !IsReflectedMessage(message))
        return false;
    const HWND source = ReflectionSource(m_hwnd, message, wParam, lParam);
    if (!source || source == m_hwnd || !::IsChild(m_hwnd, source))
        return false;
    WindowManager* manager = GetWindowManager();
    for (HWND h = source; h && h != m_hwnd; h = ::GetParent(h)) {
        if (Window* object = manager->Find(h)) {
            result = 0;
            return object->OnMessage(message + kReflectedMessageBase, wParam, lParam, result);
        }
    }
    return false;
}

bool Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_PAINT: return OnPaint();
    case WM_ERASEBKGND:
        if (!OnEraseBackground(reinterpret_cast<HDC>(wParam)))
            return false;
        result = 1;
        return true;
    case WM_SIZE: return OnSize(SizeFromParam(lParam));
    case WM_TIMER: return OnTimer(static_cast<UINT_PTR>(wParam));
    case WM_LBUTTONDOWN: return OnLButtonDown(PointFromParam(lParam), static_cast<UINT>(wParam));
    case WM_LBUTTONUP: return OnLButtonUp(PointFromParam(lParam), static_cast<UINT>(wParam));
    case WM_MOUSEMOVE: return OnMouseMove(PointFromParam(lParam), static_cast<UINT>(wParam));
    case WM_KEYDOWN: {
        const KeyParams key = KeyFromParams(wParam, lParam);
        return OnKeyDown(key.key, key.flags);
    }
    case WM_CHAR: return OnChar(static_cast<wchar_t>(wParam), static_cast<UINT>(lParam));
    case WM_ACTIVATE: return OnActivate(ActivateFromParams(wParam, lParam));
    case WM_MOUSEACTIVATE: {
        const auto packed = static_cast<std::uintptr_t>(lParam);
        const int answer = OnMouseActivate(reinterpret_cast<HWND>(wParam), LOWORD(packed), HIWORD(packed));
        if (!answer)
            return false;
        result = answer;
        return true;
    }
    case WM_SETTINGCHANGE:
        return OnSettingChange(static_cast<UINT>(wParam), reinterpret_cast<const wchar_t*>(lParam));
    case WM_SETFOCUS: return OnSetFocus(reinterpret_cast<HWND>(wParam));
    case WM_KILLFOCUS: return OnKillFocus(reinterpret_cast<HWND>(wParam));
    case WM_CLOSE: return OnClose();
    case WM_COMMAND: return OnCommand(CommandFromParams(wParam, lParam));
    case WM_NOTIFY: return lParam && OnNotify(*NotifyFromParam(lParam), result);
    case WM_HSCROLL: return OnHScroll(ScrollFromParams(wParam, lParam));
    case WM_VSCROLL: return OnVScroll(ScrollFromParams(wParam, lParam));
    case WM_GETDLGCODE: return OnGetDlgCode(reinterpret_cast<const MSG*>(lParam), result);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        const HBRUSH brush =
            OnCtlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        if (!brush)
            return false;
        result = reinterpret_cast<LRESULT>(brush);
        return true;
    }
    case kReflectedMessageBase + WM_DRAWITEM:
        if (!lParam || !OnReflectedDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return false;
        result = TRUE;
        return true;
    default: return false;
    }
}

bool Window::OnPaint() { return false; }
bool Window::OnEraseBackground(HDC) { return false; }
bool Window::OnSize(SIZE) { return false; }
bool Window::OnTimer(UINT_PTR) { return false; }
bool Window::OnLButtonDown(POINT, UINT) { return false; }
bool Window::OnLButtonUp(POINT, UINT) { return false; }
bool Window::OnMouseMove(POINT, UINT) { return false; }
bool Window::OnKeyDown(UINT, UINT) { return false; }
bool Window::OnChar(wchar_t, UINT) { return false; }
bool Window::OnActivate(const ActivateParams&) { return false; }
int Window::OnMouseActivate(HWND, UINT, UINT) { return 0; }
bool Window::OnSettingChange(UINT, const wchar_t*) { return false; }
bool Window::OnSetFocus(HWND) { return false; }
bool Window::OnKillFocus(HWND) { return false; }
bool Window::OnClose() { return false; }
bool Window::OnCommand(const CommandParams&) { return false; }
bool Window::OnNotify(const NMHDR&, LRESULT&) { return false; }
bool Window::OnHScroll(const ScrollParams&) { return false; }
bool Window::OnVScroll(const ScrollParams&) { return false; }
bool Window::OnGetDlgCode(const MSG*, LRESULT&) { return false; }
HBRUSH Window::OnCtlColor(UINT, HDC, HWND) { return nullptr; }
bool Window::OnReflectedDrawItem(const DRAWITEMSTRUCT&) { return false; }

void Window::BindControls(bool) {}

LRESULT Window::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_previousProc)
        return ::CallWindowProc(m_previousProc, m_hwnd, message, wParam, lParam);
    return ::DefWindowProc(m_hwnd, message, wParam, lParam);
}

bool Window::OnCreate(CREATESTRUCT*) { return true; }

void Window::OnDestroy() {
    App* app = GetApp();
    if (app && app->GetMainWindow() == this) {
        ::PostQuitMessage(0);
        app->SetMainWindow(nullptr);
    }
}

bool Window::OnAttach() { return true; }

void Window::OnInitMenuPopup(HMENU menu, UINT, bool isSystemMenu) {
    if (!menu)
        return;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) {
            OnInitMenuPopup(sub, static_cast<UINT>(i), isSystemMenu);
            continue;
        }
        const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (state == static_cast<UINT>(-1) || (state & MF_SEPARATOR))
            continue;
        const UINT id = ::GetMenuItemID(menu, i);
        bool enabled = true;
        bool checked = (state & MF_CHECKED) != 0;
        if (!UpdateCommandState(id, enabled, checked))
            continue;  // nobody answered: the item keeps its state
        ::EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
        ::CheckMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

bool Window::UpdateCommandState(UINT, bool&, bool&) { return false; }

bool Window::Bind(HWND hwnd) {
    if (m_hwnd || !hwnd || !::IsWindow(hwnd))
        return false;
    if (!GetWindowManager()->Register(hwnd, this))
        return false;
    m_hwnd = hwnd;
    if (!OnAttach()) {
        GetWindowManager()->Unregister(hwnd);
        m_hwnd = nullptr;
        return false;
    }
    return true;
}

bool Window::Attach(HWND hwnd) { return Bind(hwnd); }

HWND Window::Detach() {
    const HWND hwnd = m_hwnd;
    if (hwnd)
        GetWindowManager()->Unregister(hwnd);
    m_hwnd = nullptr;
    return hwnd;
}

bool Window::Subclass(HWND hwnd) {
    if (!Bind(hwnd))
        return false;
    const auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hwnd, GWLP_WNDPROC));
    if (previous != &Window::WndProc) {
        m_previousProc = previous;
        ::SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::WndProc));
    }
    m_driven = true;
    return true;
}

bool Window::AttachDlgItem(HWND parent, int id) { return Subclass(::GetDlgItem(parent, id)); }

void Window::Unsubclass() {
    if (!m_hwnd)
        return;
    if (m_previousProc && ::IsWindow(m_hwnd))
        ::SetWindowLongPtr(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    GetWindowManager()->Unregister(m_hwnd);
    m_previousProc = nullptr;
    m_driven = false;
    m_hwnd = nullptr;
}

bool Window::Create(LPCWSTR className, LPCWSTR title, DWORD style, DWORD exStyle, const RECT& rect,
                    HWND parent, UINT_PTR idOrMenu) {
    if (m_hwnd)
        return false;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    const LONG kDefault = static_cast<LONG>(0x80000000);
    if (!(rect.left == kDefault && rect.top == kDefault && rect.right == kDefault &&
          rect.bottom == kDefault)) {
        x = rect.left;
        y = rect.top;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }
    const HWND hwnd = ::CreateWindowEx(exStyle, className, title ? title : L"", style, x, y, width, height,
                                       parent, reinterpret_cast<HMENU>(idOrMenu), GetInstanceHandle(), this);
    if (!hwnd)
        return false;
    if (m_hwnd == hwnd)
        return true;  // a class of ours: bound while it was created
    if (!Subclass(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    return true;
}

bool Window::CreateChild(LPCWSTR className, LPCWSTR title, DWORD style, DWORD exStyle, const RECT& rect,
                         HWND parent, UINT_PTR id) {
    return Create(className, title, style | WS_CHILD, exStyle, rect, parent, id);
}

LRESULT Window::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessage(m_hwnd, message, wParam, lParam);
}

bool Window::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessage(m_hwnd, message, wParam, lParam) != 0;
}

LRESULT Window::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendDlgItemMessage(m_hwnd, id, message, wParam, lParam);
}

HWND Window::GetDlgItem(int id) const { return ::GetDlgItem(m_hwnd, id); }

std::wstring Window::GetDlgItemText(int id) const {
    const HWND item = ::GetDlgItem(m_hwnd, id);
    if (!item)
        return {};
    const int length = ::GetWindowTextLength(item);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = ::GetWindowText(item, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void Window::SetRedraw(bool redraw) const { ::SendMessage(m_hwnd, WM_SETREDRAW, redraw ? TRUE : FALSE, 0); }

bool Window::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const {
    return ::SetWindowPos(m_hwnd, insertAfter, x, y, cx, cy, flags) != 0;
}

bool Window::MoveWindow(const RECT& rect, bool repaint) const {
    return ::MoveWindow(m_hwnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        repaint) != 0;
}

bool Window::MoveWindow(int x, int y, int width, int height, bool repaint) const {
    return ::MoveWindow(m_hwnd, x, y, width, height, repaint) != 0;
}

bool Window::Invalidate(bool erase) const { return ::InvalidateRect(m_hwnd, nullptr, erase) != 0; }

bool Window::InvalidateRect(const RECT& rect, bool erase) const {
    return ::InvalidateRect(m_hwnd, &rect, erase) != 0;
}

bool Window::EnableWindow(bool enable) const {
    ::EnableWindow(m_hwnd, enable);
    return ::IsWindowEnabled(m_hwnd) == (enable ? TRUE : FALSE);
}

RECT Window::GetWindowRect() const {
    RECT rc{0, 0, 0, 0};
    ::GetWindowRect(m_hwnd, &rc);
    return rc;
}

RECT Window::GetClientRect() const {
    RECT rc{0, 0, 0, 0};
    ::GetClientRect(m_hwnd, &rc);
    return rc;
}

RECT Window::ScreenToClient(const RECT& rect) const {
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    ::ScreenToClient(m_hwnd, &corners[0]);
    ::ScreenToClient(m_hwnd, &corners[1]);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

std::wstring Window::GetWindowText() const {
    const int length = ::GetWindowTextLength(m_hwnd);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = ::GetWindowText(m_hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

bool Window::SetWindowText(const std::wstring& text) const {
    return ::SetWindowText(m_hwnd, text.c_str()) != 0;
}

void Window::SetFont(HFONT font, bool redraw) const {
    ::SendMessage(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

bool Window::ShowWindow(int command) const { return ::ShowWindow(m_hwnd, command) != 0; }

bool Window::UpdateWindow() const { return ::UpdateWindow(m_hwnd) != 0; }

HWND Window::SetFocus() const { return ::SetFocus(m_hwnd); }

bool Window::IsVisible() const { return m_hwnd && ::IsWindowVisible(m_hwnd); }

HWND Window::CreateMenuBar(UINT menuId) const {
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = m_hwnd;
    info.nToolBarId = menuId;
    info.hInstRes = GetInstanceHandle();
    if (!::SHCreateMenuBar(&info))
        return nullptr;
    return info.hwndMB;
}

bool Window::Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (ReflectNotification(message, wParam, lParam, result))
        return true;
    if (message == WM_INITMENUPOPUP) {
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                        HIWORD(static_cast<std::uintptr_t>(lParam)) != 0);
        result = 0;
        return true;
    }
    result = 0;
    return OnMessage(message, wParam, lParam, result);
}

LRESULT Window::Answer(UINT, LRESULT result) { return result; }

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Route(message, wParam, lParam, result))
        return Answer(message, result);
    return DefaultProc(message, wParam, lParam);
}

LRESULT Window::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowManager* manager = GetWindowManager();
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCT*>(lParam);
        auto* object = create ? static_cast<Window*>(create->lpCreateParams) : nullptr;
        if (!object || manager->Find(hwnd) == object)
            return object ? object->Dispatch(message, wParam, lParam)
                          : ::DefWindowProc(hwnd, message, wParam, lParam);
        if (object->m_hwnd || !manager->Register(hwnd, object))
            return -1;
        object->m_hwnd = hwnd;
        object->m_driven = true;
        if (!object->OnCreate(const_cast<CREATESTRUCT*>(create))) {
            manager->Unregister(hwnd);
            object->m_hwnd = nullptr;
            object->m_driven = false;
            return -1;
        }
        return 0;
    }
    Window* object = manager->Find(hwnd);
    if (!object)
        return ::DefWindowProc(hwnd, message, wParam, lParam);
    if (message == WM_DESTROY) {
        object->OnDestroy();
        manager->Unregister(hwnd);
        const WNDPROC previous = object->m_previousProc;
        object->m_hwnd = nullptr;
        object->m_previousProc = nullptr;
        object->m_driven = false;
        if (previous) {
            ::SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            return ::CallWindowProc(previous, hwnd, message, wParam, lParam);
        }
        return ::DefWindowProc(hwnd, message, wParam, lParam);
    }
    return object->Dispatch(message, wParam, lParam);
}

// ------------------------------------------------------------ WindowManager

bool WindowManager::Register(HWND hwnd, Window* window) {
    if (!hwnd || !window)
        return false;
    return m_windows.emplace(hwnd, window).second;
}

void WindowManager::Unregister(HWND hwnd) { m_windows.erase(hwnd); }

Window* WindowManager::Find(HWND hwnd) const {
    const auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : it->second;
}

// ----------------------------------------------------- WindowClassRegistrar

ATOM WindowClassRegistrar::Register(const std::wstring& name, HICON icon, HCURSOR cursor, HBRUSH background,
                                    LPCWSTR menuName) {
    if (const ATOM existing = Find(name)) {
        // The window system may have been started afresh since (tests do);
        // then the class is registered again.
        WNDCLASS known{};
        if (::GetClassInfo(GetInstanceHandle(), name.c_str(), &known))
            return existing;
        m_classes.erase(name);
    }
    WNDCLASS wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &Window::WndProc;
    wc.hInstance = GetInstanceHandle();
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszMenuName = menuName;
    wc.lpszClassName = name.c_str();
    const ATOM atom = ::RegisterClass(&wc);
    if (atom)
        m_classes[name] = atom;
    return atom;
}

ATOM WindowClassRegistrar::Find(const std::wstring& name) const {
    const auto it = m_classes.find(name);
    return it == m_classes.end() ? 0 : it->second;
}

}  // namespace ZEP_Wnd
