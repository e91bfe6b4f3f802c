#include "platform/win32/forms/win32_application.h"

#include <windows.h>

#include "platform/win32/forms/win32_main_window.h"

namespace velmora::platform::win32 {

void Win32Application::End() {
    // No handler may run after this one: with the main window gone (and the
    // version dialog it owns) nothing is left to send them, and WM_QUIT is
    // posted even if the window was already gone.
    mainWindow_.Close();
    ::PostQuitMessage(0);
}

}  // namespace velmora::platform::win32
