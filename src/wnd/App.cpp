#include "wnd/App.h"

#include <chrono>
#include <thread>

#include "platform/kernel/ExecutablePath.h"
#include "platform/kernel/SingleInstance.h"
#include "platform/kernel/TerminationSignals.h"
#include "platform/ui/Controls.h"
#include "platform/ui/display/Display.h"
#include "wnd/Library.h"
#include "wnd/Window.h"

namespace ZEP_Wnd {

std::wstring SingleInstanceName() {
    std::wstring name = ob::kernel::ExecutablePath();
    for (wchar_t& c : name)
        if (c == L'\\')
            c = L'/';
    return name;
}

App::App() { SetApp(this); }

App::~App() {
    if (m_accelerators)
        ::DestroyAcceleratorTable(m_accelerators);
    if (m_instanceLock && m_instanceLock->KnockFd() >= 0)
        ob::ui::RemoveLoopSource(m_instanceLock->KnockFd());
    if (GetApp() == this)
        SetApp(nullptr);
}

bool App::InitApplication() {
    if (!m_singleInstance)
        return true;
    const std::wstring name = SingleInstanceName();
    m_instanceLock = ob::kernel::SingleInstance::Acquire(name);
    if (m_instanceLock) {
        ListenForKnocks();
        return true;
    }
    // Another instance runs: ask it to come forward, three tries one pause apart.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (ob::kernel::SingleInstance::Knock(name)) {
            m_knocked = true;
            break;
        }
        if (attempt < 2 && m_retryDelayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(m_retryDelayMs));
    }
    return false;
}

void App::ListenForKnocks() {
    const int fd = m_instanceLock->KnockFd();
    if (fd < 0)
        return;
    ob::ui::AddLoopSource(fd, [this] {
        if (m_instanceLock && m_instanceLock->TakeKnocks())
            BringMainWindowForward();
    });
}

void App::BringMainWindowForward() {
    if (!m_mainWindow || !m_mainWindow->GetHandle())
        return;
    const HWND hwnd = m_mainWindow->GetHandle();
    ::ShowWindow(hwnd, SW_SHOW);
    ::SetForegroundWindow(hwnd);
    ob::ui::RaiseDesktopWindow();
}

bool App::InitInstance() { return true; }

int App::ExitInstance() { return static_cast<int>(m_msg.wParam); }

void App::OnEndRequest() {
    // Closing the main window ends the loop, as the program's own Exit does.
    if (m_mainWindow && m_mainWindow->GetHandle())
        m_mainWindow->PostMessage(WM_CLOSE);
    else
        ::PostQuitMessage(0);
}

void App::SetAccelerators(const ACCEL* entries, int count) {
    if (m_accelerators)
        ::DestroyAcceleratorTable(m_accelerators);
    m_accelerators = ::CreateAcceleratorTable(entries, count);
}

bool App::PreTranslateMessage(MSG& msg) {
    const HWND main = m_mainWindow ? m_mainWindow->GetHandle() : nullptr;
    if (m_accelerators && main && ::TranslateAccelerator(main, m_accelerators, &msg))
        return true;
    return ::IsDialogMessage(msg.hwnd, &msg) != FALSE;
}

int App::Run() {
    // A logout, Ctrl+C or a closed terminal only wakes the loop; the program
    // then ends in its own order, settings saved.
    const int signals = ob::kernel::CatchTerminationSignals();
    if (signals >= 0) {
        ob::ui::AddLoopSource(signals, [this] {
            if (ob::kernel::TakeTerminationSignal() != 0)
                OnEndRequest();
        });
    }
    while (::GetMessage(&m_msg, nullptr, 0, 0)) {
        if (PreTranslateMessage(m_msg))
            continue;
        ::TranslateMessage(&m_msg);
        ::DispatchMessage(&m_msg);
    }
    const int code = ExitInstance();
    if (signals >= 0) {
        ob::ui::RemoveLoopSource(signals);
        ob::kernel::ReleaseTerminationSignals();
    }
    return code;
}

int App::RunEntrySequence(HINSTANCE instance) {
    m_instance = instance ? instance : ::GetModuleHandle(nullptr);
    SetInstanceHandle(m_instance);
    if (!CreateLibraryObjects())
        return 0;
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC =
        ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_DATE_CLASSES;
    ::InitCommonControlsEx(&icc);

    int code = 0;
    if (InitApplication() && InitInstance())
        code = Run();
    DeleteLibraryObjects();
    return code;
}

}  // namespace ZEP_Wnd
