#include "velmora_process.h"

#include <stdexcept>

#include "checks.h"
#include "window_queries.h"

namespace velmora::e2e {

VelmoraProcess::VelmoraProcess(const std::wstring& programPath) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // No standard handles: the program and whatever it starts must not keep
    // the test runner's output pipe open after the driver has ended.
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION started{};
    std::wstring commandLine = Quote(programPath);
    if (!CreateProcessW(programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &started)) {
        throw std::runtime_error("CreateProcessW failed with error " +
                                 std::to_string(GetLastError()));
    }
    process_ = UniqueHandle(started.hProcess);
    const UniqueHandle thread(started.hThread);
    id_ = started.dwProcessId;
}

VelmoraProcess::~VelmoraProcess() {
    if (Running()) {
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), 5000);
    }
}

bool VelmoraProcess::Running() const {
    return WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

bool VelmoraProcess::WaitForExit(std::chrono::milliseconds timeout) const {
    return WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

HWND FindIconPicture(HWND window) {
    for (HWND child : DescendantsOf(window)) {
        const auto style = GetWindowLongPtrW(child, GWL_STYLE);
        if (IsClass(child, L"Static") && (style & SS_TYPEMASK) == SS_ICON) return child;
    }
    return nullptr;
}

std::optional<MainWindow> WaitForMainWindow(const VelmoraProcess& process,
                                            std::chrono::milliseconds timeout) {
    MainWindow main;
    if (!WaitUntil([&] { return (main.window = FindTopLevel(process.Id(), kMainCaption)); },
                   timeout)) {
        return std::nullopt;
    }
    for (HWND child : DescendantsOf(main.window)) {
        if (IsClass(child, L"ListBox")) main.list = child;
        if (IsClass(child, L"Edit")) main.commandText = child;
    }
    main.update = FindControl(main.window, L"Button", kUpdateCaption);
    main.remove = FindControl(main.window, L"Button", kDeleteCaption);
    main.run = FindControl(main.window, L"Button", kRunCaption);
    main.version = FindControl(main.window, L"Button", kVersionCaption);
    main.end = FindControl(main.window, L"Button", kEndCaption);
    main.listLabel = FindControl(main.window, L"Static", kListLabel);
    main.commandLabel = FindControl(main.window, L"Static", kCommandLabel);
    main.image = FindIconPicture(main.window);
    return main;
}

std::wstring WindowsPath(std::string_view buildPath) {
    std::wstring path = FromUtf8(buildPath);
    for (auto& c : path) {
        if (c == L'/') c = L'\\';
    }
    // Wine maps the Unix root to drive Z:.
    if (path.starts_with(L"\\")) path = L"Z:" + path;
    return path;
}

}  // namespace velmora::e2e
