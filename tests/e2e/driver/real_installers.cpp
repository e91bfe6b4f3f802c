#include "real_installers.h"

#include <array>

#include "handles.h"
#include "window_queries.h"

namespace velmora::e2e {

std::optional<DWORD> RunToEnd(std::wstring commandLine, std::chrono::milliseconds ceiling) {
    // No standard handles, as for the program: nothing the installers leave
    // running may hold the test runner's output open.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return std::nullopt;
    }
    const UniqueProcess process(started.hProcess);
    CloseHandle(started.hThread);
    if (WaitForSingleObject(process.get(), static_cast<DWORD>(ceiling.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.get(), &exitCode)) return std::nullopt;
    return exitCode;
}

std::wstring ProgramFilesPath(std::wstring_view relative) {
    std::array<wchar_t, MAX_PATH> folder{};
    const DWORD length = ExpandEnvironmentStringsW(L"%ProgramW6432%", folder.data(), MAX_PATH);
    return std::wstring(folder.data(), length > 0 ? length - 1 : 0) + L"\\" +
           std::wstring(relative);
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<RegistryText> ReadRegistryText(Root root, const std::wstring& keyName,
                                             const wchar_t* valueName) {
    const UniqueHkey key = OpenUninstallKey(root, keyName);
    if (!key) return std::nullopt;
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), valueName, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    // Up to the first NUL: the stored text without its terminator.
    text.resize(wcsnlen(text.c_str(), text.size()));
    return RegistryText{type, text};
}

std::vector<HWND> DialogsCaptionedFrom(std::wstring_view captionStart) {
    auto windows = DescendantsOf(nullptr);
    std::erase_if(windows, [&](HWND window) {
        return !IsWindowVisible(window) || !IsClass(window, L"#32770") ||
               !TextOf(window).starts_with(captionStart);
    });
    return windows;
}

void RealInstallations::Remove() {
    using namespace std::chrono_literals;
    const std::wstring productKey =
        std::wstring(L"Software\\Classes\\Installer\\Products\\") + kMsiPackedCode;
    HKEY registered = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, productKey.c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                      &registered) == ERROR_SUCCESS) {
        RegCloseKey(registered);
        RunToEnd(std::wstring(L"msiexec.exe /x ") + kMsiProductCode + L" /qn", 120s);
    }
    RemoveUninstallKey(Root::kMachine, kMsiProductCode);
    RemoveUninstallKey(Root::kMachine, kNsisKeyName);
    for (const wchar_t* file : kNsisFiles) {
        DeleteFileW(ProgramFilesPath(std::wstring(kNsisFolder) + L"\\" + file).c_str());
    }
    RemoveDirectoryW(ProgramFilesPath(kNsisFolder).c_str());
    RemoveDirectoryW(ProgramFilesPath(L"Sakura").c_str());
}

}  // namespace velmora::e2e
