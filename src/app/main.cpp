// velmora.exe: wires the real registry, code page, process start and
// windows into the main window's logic, then runs the message loop.
#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <memory>

#include "mainwindow/zentrel_form.h"
#include "platform/win32/common/module_function.h"
#include "platform/win32/forms/win32_application.h"
#include "platform/win32/forms/win32_main_window.h"
#include "platform/win32/forms/win32_version_dialog.h"
#include "platform/win32/system/win32_backup_folder.h"
#include "platform/win32/system/win32_code_page.h"
#include "platform/win32/system/win32_process_starter.h"
#include "platform/win32/system/win32_registry.h"
#include "platform/win32/system/win32_registry_views.h"
#include "platform/win32/system/win32_uninstaller_probe.h"
#include "platform/win32/system/win32_wide_registry.h"
#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/unexpected_error.h"
#include "platform/win32/ui/win32_geometry.h"
#include "resource_ids.h"

namespace {

using namespace velmora::platform::win32;

// Marks a step of start-up in the start-up bench's marked build, where Wine
// prints it with a timestamp (WINEDEBUG=+timestamp,+debugstr); nothing in
// the program itself.
inline void StartupMark([[maybe_unused]] const char* step) {
#ifdef VELMORA_STARTUP_MARKS
    ::OutputDebugStringA(step);
#endif
}

// Returns the exit code WM_QUIT carries.
int RunMessageLoop(Win32MainWindow& window,
                   [[maybe_unused]] const velmora::mainwindow::ZentrelForm& form) {
    MSG msg;
#ifdef VELMORA_STARTUP_MARKS
    bool painted = false;
    bool judged = false;
#endif
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 1;
        if (!window.PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
#ifdef VELMORA_STARTUP_MARKS
        if (!painted && msg.message == WM_PAINT && msg.hwnd == window.Handle()) {
            painted = true;
            StartupMark("first paint done");
        }
        if (!judged && form.UninstallersJudged()) {
            judged = true;
            StartupMark("every verdict shown");
        }
#endif
    }
}

int Run(HINSTANCE instance, int showCommand) {
    const wchar_t* const icon = MAKEINTRESOURCEW(IDI_VELMORA);
    Win32Registry registry;
    Win32WideRegistry wideRegistry;
    Win32BackupFolder backups;
    Win32CodePage codePage;
    Win32ProcessStarter processes;
    Win32MainWindow window(instance, icon, std::make_shared<const Win32UninstallerProbe>());
    StartupMark("main window, controls, fonts and icons made");
    // Both windows centre on the monitor that holds the main window: the main
    // window on the one it was created on (the primary one, or the one the
    // shell asked for), the version dialog on its owner's.
    const Win32Screen screen(window.Handle());
    Win32VersionDialog versionDialog(instance, icon, screen, window.Handle());
    Win32Application application(window);
    // On 64-bit Windows the machine's Uninstall key has a 64-bit and a 32-bit
    // view, and programs register in either: both are read.
    const bool separateViews = Win32RegistryViews().SeparateMachineViews();
    StartupMark("registry views probed");
    velmora::mainwindow::ZentrelForm form(
        velmora::mainwindow::ZentrelFormPlatform{
            registry, codePage, window.UninstallList(), window.UninstallStringText(),
            window.Messages(), processes, screen, window, versionDialog, application, wideRegistry,
            backups, window.UninstallKeysChanged(), window.Checks()},
        velmora::catalogue::ScanPasses(separateViews));
    window.Attach(&form);
    window.Load(showCommand);
    StartupMark("list scanned and window shown");
    const int exitCode = RunMessageLoop(window, form);
    window.Attach(nullptr);
    return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // Every DLL loaded from here on, the ones system DLLs load for themselves
    // (themes, input, composition) included, comes from the system folder,
    // never from the program's own: a DLL planted beside a downloaded
    // velmora.exe would run with the administrator's consent.  Looked up,
    // since Windows 7 has it only with its loader update; without it the
    // standard search order stays.
    if (const auto setDefaultDllDirectories = ModuleFunction<decltype(&::SetDefaultDllDirectories)>(
            ::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")) {
        static_cast<void>(setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32));
    }
    StartupMark("wWinMain entered");
    DeclareDpiAwareness();
    // The manifest asks for the version 6 controls; without this call they
    // would not be registered.  The plain user32 classes are still there if
    // it fails, so a failure changes only their look.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    static_cast<void>(::InitCommonControlsEx(&controls));
    StartupMark("common controls registered");
    try {
        return Run(instance, showCommand);
    } catch (const std::exception& error) {
        ReportUnexpectedError(nullptr, error.what());
    }
    return 1;
}
