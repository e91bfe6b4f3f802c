// The desktop route of unelevated_start.h: the shell's view of the desktop
// (IShellWindows::FindWindowSW with SWC_DESKTOP) leads to the shell's own
// automation object, whose IShellDispatch2::ShellExecute runs in the
// desktop's process, with its token.
#include <windows.h>
// The shell's headers need windows.h first.
#include <exdisp.h>
#include <oleauto.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "platform/unique_owner.h"
#include "platform/win32/common/module_function.h"
#include "platform/win32/common/system_library.h"
#include "platform/win32/common/unique_com.h"
#include "platform/win32/common/unique_handle.h"
#include "platform/win32/system/unelevated_start.h"

namespace velmora::platform::win32 {
namespace {

template <typename Interface>
using ComRef = UniqueCom<Interface>;

template <typename Interface>
void** Out(ComRef<Interface>& object) {
    return reinterpret_cast<void**>(object.put());
}

// COM and OLE automation, loaded on this route's first use.
struct DesktopFunctions {
    static DesktopFunctions& Get() {
        static DesktopFunctions functions;
        return functions;
    }
    OnDemandFunction<decltype(&::CoInitializeEx)> coInitialize{LoadSystemLibrary, L"ole32.dll",
                                                               "CoInitializeEx"};
    OnDemandFunction<decltype(&::CoCreateInstance)> coCreate{LoadSystemLibrary, L"ole32.dll",
                                                             "CoCreateInstance"};
    OnDemandFunction<decltype(&::SysAllocString)> allocString{LoadSystemLibrary, L"oleaut32.dll",
                                                              "SysAllocString"};
    OnDemandFunction<decltype(&::SysFreeString)> freeString{LoadSystemLibrary, L"oleaut32.dll",
                                                            "SysFreeString"};
};

// A BSTR owned with the function that frees it.
struct BstrTraits {
    using Handle = BSTR;
    static constexpr Handle kNone = nullptr;
    decltype(&::SysFreeString) free = nullptr;
    bool IsValid(Handle text) const { return text != nullptr; }
    void Close(Handle text) const { free(text); }
};

// Whether the process that owns the window runs elevated; unknown counts as
// elevated.  user32 is looked up rather than linked: this library stays free
// of it, and a process with a desktop window to ask about has it mapped.
bool WindowProcessIsElevated(HWND window) {
    using ThreadProcessId = DWORD(WINAPI*)(HWND, DWORD*);
    const auto threadProcessId = ModuleFunction<ThreadProcessId>(::GetModuleHandleW(L"user32.dll"),
                                                                 "GetWindowThreadProcessId");
    DWORD processId = 0;
    if (threadProcessId == nullptr || threadProcessId(window, &processId) == 0) return true;
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return !process || ProcessIsElevated(process.get());
}

// The shell's automation object of the desktop's view, if the desktop is a
// shell window that does not run elevated.
ComRef<IShellDispatch2> UnelevatedDesktopShell(DesktopFunctions& functions) {
    const auto coCreate = functions.coCreate.Get();
    ComRef<IShellWindows> windows;
    if (coCreate == nullptr || FAILED(coCreate(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                               IID_IShellWindows, Out(windows)))) {
        return {};
    }
    VARIANT anywhere{};
    long window = 0;
    ComRef<IDispatch> desktop;
    if (windows.get()->FindWindowSW(&anywhere, &anywhere, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                                    desktop.put()) != S_OK ||
        !desktop ||
        WindowProcessIsElevated(reinterpret_cast<HWND>(static_cast<LONG_PTR>(window)))) {
        return {};
    }
    ComRef<IServiceProvider> services;
    ComRef<IShellBrowser> browser;
    ComRef<IShellView> view;
    ComRef<IDispatch> background;
    ComRef<IShellFolderViewDual> folderView;
    ComRef<IDispatch> application;
    ComRef<IShellDispatch2> shell;
    if (FAILED(desktop.get()->QueryInterface(IID_IServiceProvider, Out(services))) ||
        FAILED(
            services.get()->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, Out(browser))) ||
        FAILED(browser.get()->QueryActiveShellView(view.put())) ||
        FAILED(view.get()->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, Out(background))) ||
        FAILED(background.get()->QueryInterface(IID_IShellFolderViewDual, Out(folderView))) ||
        FAILED(folderView.get()->get_Application(application.put())) ||
        FAILED(application.get()->QueryInterface(IID_IShellDispatch2, Out(shell)))) {
        return {};
    }
    return shell;
}

}  // namespace

bool StartThroughDesktop(const std::wstring&, const CommandLineParts& parts) {
    DesktopFunctions& functions = DesktopFunctions::Get();
    const auto coInitialize = functions.coInitialize.Get();
    const auto allocString = functions.allocString.Get();
    const auto freeString = functions.freeString.Get();
    if (coInitialize == nullptr || allocString == nullptr || freeString == nullptr) return false;
    EnsureComOnThisThread(coInitialize);
    const ComRef<IShellDispatch2> shell = UnelevatedDesktopShell(functions);
    if (!shell) return false;
    using UniqueBstr = UniqueOwner<BstrTraits>;
    const UniqueBstr file(BstrTraits{freeString}, allocString(parts.program.c_str()));
    const UniqueBstr arguments(BstrTraits{freeString}, allocString(parts.arguments.c_str()));
    const UniqueBstr verb(BstrTraits{freeString}, allocString(L"open"));
    if (!file || !arguments || !verb) return false;
    VARIANT argumentsValue{}, folder{}, verbValue{}, show{};
    argumentsValue.vt = VT_BSTR;
    argumentsValue.bstrVal = arguments.get();
    verbValue.vt = VT_BSTR;
    verbValue.bstrVal = verb.get();
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return SUCCEEDED(
        shell.get()->ShellExecute(file.get(), argumentsValue, folder, verbValue, show));
}

}  // namespace velmora::platform::win32
