// velmora_window_floor.exe: velmora.exe's own window, made the way velmora.exe
// makes it (the same toolkit, controls, fonts and icon, the version 6 common
// controls its manifest asks for), filled by the bare calls of bare_fill.h
// instead of the program's scan.  Beside it, velmora.exe's start and rescan
// show what the program's own logic adds to the window it cannot do without.
// Its refresh button (id 1002) fills the list again.
#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "bare_fill.h"
#include "platform/win32/forms/main_window_layout.h"
#include "platform/win32/forms/win32_main_window.h"
#include "platform/win32/ui/dpi.h"
#include "resource_ids.h"

namespace {

using namespace velmora::platform::win32;
using main_window::kUninstallListId;
using main_window::kUpdateCommandId;

LRESULT CALLBACK RefreshOnClick(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
    if (message == WM_COMMAND && LOWORD(wParam) == kUpdateCommandId &&
        HIWORD(wParam) == BN_CLICKED) {
        velmora::bench::FillList(GetDlgItem(window, kUninstallListId));
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

int Run(HINSTANCE instance, int showCommand) {
    Win32MainWindow window(instance, MAKEINTRESOURCEW(IDI_VELMORA));
    if (!SetWindowSubclass(window.Handle(), RefreshOnClick, 1, 0)) return 1;
    velmora::bench::FillList(GetDlgItem(window.Handle(), kUninstallListId));
    window.Load(showCommand);
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 1;
        if (!window.PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    DeclareDpiAwareness();
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    static_cast<void>(InitCommonControlsEx(&controls));
    try {
        return Run(instance, showCommand);
    } catch (const std::exception&) {
        return 1;
    }
}
