#include "platform/win32/system/win32_process_starter.h"

#include <windows.h>
// shellapi.h and objbase.h need windows.h first.
#include <objbase.h>
#include <shellapi.h>

#include "platform/win32/common/module_function.h"
#include "platform/win32/common/system_library.h"
#include "platform/win32/common/unique_handle.h"
#include "platform/win32/system/unelevated_start.h"

namespace velmora::platform::win32 {
namespace {

// The longest command line CreateProcessW takes, and the largest buffer
// ExpandEnvironmentStringsW works with, both counting the terminating NUL.
constexpr std::size_t kMaxCommandLine = 32767;

// ERROR_ELEVATION_REQUIRED: the program's manifest asks for administrator
// rights.  mingw-w64's winerror.h lacks the name.
constexpr DWORD kErrorElevationRequired = 740;

bool IsBlank(std::wstring_view text) {
    return text.find_first_not_of(kCommandLineBlanks) == text.npos;
}

// A file (not a folder) found where CreateProcessW would look for it, with
// ".exe" added when the name has no extension.
bool NamesProgramFile(const std::wstring& name) {
    std::wstring found(kMaxCommandLine, L'\0');
    const DWORD length = ::SearchPathW(nullptr, name.c_str(), L".exe",
                                       static_cast<DWORD>(found.size()), found.data(), nullptr);
    if (length == 0 || length >= found.size()) return false;
    const DWORD attributes = ::GetFileAttributesW(found.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// ERROR_SUCCESS once the program runs, else CreateProcessW's error.
std::uint32_t CreateProcessFromCommandLine(const std::wstring& commandLine) {
    // CreateProcessW may write into the command line, so it gets a copy.
    std::wstring writable = commandLine;
    STARTUPINFOW startup = ShownNormally();
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return ::GetLastError();
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    return ERROR_SUCCESS;
}

// The shell and COM serve only the elevated start, so they are loaded on its
// first use rather than with the program: a start that never elevates maps
// neither.  A load that failed is tried again by the next elevated start.
class ElevationFunctions {
  public:
    static const ElevationFunctions& Get() {
        static ElevationFunctions functions;
        functions.shellExecute = functions.shellLookup_.Get();
        functions.coInitialize = functions.comLookup_.Get();
        return functions;
    }
    bool Ready() const { return shellExecute != nullptr && coInitialize != nullptr; }

    decltype(&::ShellExecuteExW) shellExecute = nullptr;
    decltype(&::CoInitializeEx) coInitialize = nullptr;

  private:
    ElevationFunctions() = default;
    OnDemandFunction<decltype(&::ShellExecuteExW)> shellLookup_{LoadSystemLibrary, L"shell32.dll",
                                                                "ShellExecuteExW"};
    OnDemandFunction<decltype(&::CoInitializeEx)> comLookup_{LoadSystemLibrary, L"ole32.dll",
                                                             "CoInitializeEx"};
};

}  // namespace

std::optional<std::wstring> ExpandEnvironmentReferences(const std::wstring& text) {
    if (text.size() >= kMaxCommandLine) return std::nullopt;
    std::wstring expanded(text.size() + 1, L'\0');
    // The second round is for a result longer than the text; a third one only
    // if the environment grew in between.
    for (int round = 0; round < 3; ++round) {
        const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(),
                                                         static_cast<DWORD>(expanded.size()));
        if (needed == 0 || needed > kMaxCommandLine) return std::nullopt;
        if (needed <= expanded.size()) {
            expanded.resize(needed - 1);
            return expanded;
        }
        expanded.assign(needed, L'\0');
    }
    return std::nullopt;
}

StartResult StartElevated(const std::wstring& commandLine, WindowHandle owner) {
    const CommandLineParts parts = SplitCommandLine(commandLine, NamesProgramFile);
    if (parts.program.empty()) return StartResult::kFailed;
    const ElevationFunctions& functions = ElevationFunctions::Get();
    if (!functions.Ready()) return StartResult::kFailed;
    EnsureComOnThisThread(functions.coInitialize);
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof(execute);
    // No SEE_MASK_FLAG_NO_UI: the shell must be free to show its consent prompt.
    execute.fMask = SEE_MASK_NOCLOSEPROCESS;
    // Without an owner the prompt may come up behind other windows, or only
    // flash in the taskbar.
    execute.hwnd = reinterpret_cast<HWND>(owner);
    execute.lpVerb = L"runas";
    execute.lpFile = parts.program.c_str();
    execute.lpParameters = parts.arguments.empty() ? nullptr : parts.arguments.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!functions.shellExecute(&execute)) {
        // The user declining the consent prompt fails the call with
        // ERROR_CANCELLED.
        return ::GetLastError() == ERROR_CANCELLED ? StartResult::kDeclined : StartResult::kFailed;
    }
    const UniqueHandle process(execute.hProcess);
    return StartResult::kStarted;
}

StartCalls SystemStartCalls() {
    return {RunningElevated,
            CreateProcessFromCommandLine,
            StartElevated,
            {StartThroughDesktop, StartWithNormalUserToken, StartWithLinkedToken}};
}

Win32ProcessStarter::Win32ProcessStarter() : calls_(SystemStartCalls()) {}

StartResult Win32ProcessStarter::Start(const std::wstring& commandLine, WindowHandle owner,
                                       EntryScope scope) {
    try {
        if (IsBlank(commandLine)) return StartResult::kFailed;
        const std::optional<std::wstring> expanded = ExpandEnvironmentReferences(commandLine);
        if (!expanded || IsBlank(*expanded)) return StartResult::kFailed;
        if (scope == EntryScope::kUser && calls_.runningElevated()) {
            return StartUnelevated(*expanded);
        }
        const std::uint32_t status = calls_.start(*expanded);
        if (status == ERROR_SUCCESS) return StartResult::kStarted;
        if (status != kErrorElevationRequired) return StartResult::kFailed;
        return calls_.startElevated(*expanded, owner);
    } catch (...) {
        // Only allocation can throw here; the caller just needs "not started".
        return StartResult::kFailed;
    }
}

StartResult Win32ProcessStarter::StartUnelevated(const std::wstring& commandLine) const {
    // A program that is not there fails as any start does, before the shell
    // could show an error box of its own for it.
    const CommandLineParts parts = SplitCommandLine(commandLine, NamesProgramFile);
    if (!NamesProgramFile(parts.program)) return StartResult::kFailed;
    for (const auto& route : calls_.unelevated) {
        if (route(commandLine, parts)) return StartResult::kStarted;
    }
    // Never with this process's rights, nor through a consent prompt of its
    // own: any program the user ran could have written this entry.
    return StartResult::kNoUnelevatedStart;
}

}  // namespace velmora::platform::win32
