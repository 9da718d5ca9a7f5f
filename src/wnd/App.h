// The application object: the entry sequence, the single-instance check and
// the message loop.
#pragma once

#include <memory>

#include "platform/ui/Windows.h"

namespace ob::kernel {
class SingleInstance;
}

namespace ZEP_Wnd {

class Window;

class App {
public:
    App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    virtual ~App();
    // Makes sure this is the only running instance; true when the check is off.
    virtual bool InitApplication();
    virtual bool InitInstance();
    virtual int ExitInstance();

    // The message loop until the quit message; then ExitInstance().
    int Run();
    // What the loop does with a message before dispatching it: the main
    // window's keyboard accelerators, then the dialog manager. True when one
    // of them took the message.
    bool PreTranslateMessage(MSG& msg);
    // Keys that stand for commands of the main window, wherever the focus is.
    void SetAccelerators(const ACCEL* entries, int count);
    // The whole entry sequence: library start, InitApplication, InitInstance,
    // Run, library end. Returns the process exit code.
    int RunEntrySequence(HINSTANCE instance);

    Window* GetMainWindow() const { return m_mainWindow; }
    void SetMainWindow(Window* window) { m_mainWindow = window; }
    HINSTANCE GetInstance() const { return m_instance; }
    void SetSingleInstance(bool on) { m_singleInstance = on; }
    bool IsSingleInstance() const { return m_singleInstance; }
    // The window of the running instance that a second start brought forward
    // (only in that second start); none otherwise.
    HWND GetFoundWindow() const { return m_found; }
    // Whether this start found another instance running and asked it to come
    // to the front (it then ended without a window).
    bool BroughtOtherForward() const { return m_knocked; }
    // How long a second start waits between its three tries, in milliseconds.
    void SetRetryDelay(unsigned ms) { m_retryDelayMs = ms; }

protected:
    HINSTANCE m_instance = nullptr;
    Window* m_mainWindow = nullptr;
    MSG m_msg{};
    bool m_singleInstance = true;
    HWND m_found = nullptr;
    HACCEL m_accelerators = nullptr;

    // SIGTERM, SIGINT or SIGHUP arrived while the loop ran: asks the main
    // window to close (the quit message when there is none).
    void OnEndRequest();

private:
    void ListenForKnocks();
    void BringMainWindowForward();

    std::unique_ptr<ob::kernel::SingleInstance> m_instanceLock;
    unsigned m_retryDelayMs = 1000;
    bool m_knocked = false;
};

// The name the single-instance lock uses: the executable's path with every
// backslash turned into a forward slash.
std::wstring SingleInstanceName();

}  // namespace ZEP_Wnd
