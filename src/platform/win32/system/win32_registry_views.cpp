#include "platform/win32/system/win32_registry_views.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/common/module_function.h"
#include "platform/win32/common/unique_hkey.h"

namespace velmora::platform::win32 {
namespace {

// NtQueryKey with KeyNameInformation: the only documented way to learn which
// key a handle really refers to after WOW64 redirection.
constexpr int kKeyNameInformation = 3;
using NtQueryKeyFunction = LONG(NTAPI*)(HANDLE, int, PVOID, ULONG, PULONG);

std::optional<std::wstring> KernelKeyName(const wchar_t* path, REGSAM view) {
    UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE | view, key.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    const auto query =
        ModuleFunction<NtQueryKeyFunction>(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey");
    if (query == nullptr) return std::nullopt;

    std::vector<unsigned char> buffer(4096);
    ULONG needed = 0;
    if (query(key.get(), kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
              &needed) < 0) {
        return std::nullopt;
    }
    // KEY_NAME_INFORMATION: a byte length, then the name's UTF-16 characters.
    ULONG length = 0;
    std::memcpy(&length, buffer.data(), sizeof length);
    if (length > buffer.size() - sizeof length) return std::nullopt;
    std::wstring name(length / sizeof(wchar_t), L'\0');
    std::memcpy(name.data(), buffer.data() + sizeof length, length);
    return name;
}

bool IsWindows64() {
#if defined(_WIN64)
    return true;
#else
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

}  // namespace

bool Win32RegistryViews::SeparateMachineViews() const {
    if (!IsWindows64()) return false;
    for (const wchar_t* path : {L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                                L"Software\\Microsoft\\Windows\\CurrentVersion", L"Software"}) {
        const auto native = KernelKeyName(path, KEY_WOW64_64KEY);
        const auto redirected = KernelKeyName(path, KEY_WOW64_32KEY);
        if (native && redirected) return *native != *redirected;
    }
    // Neither view could be named: read both, as 64-bit Windows has them.
    return true;
}

}  // namespace velmora::platform::win32
