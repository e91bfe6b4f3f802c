#include "platform/win32/common/system_library.h"

#include <string>

namespace velmora::platform::win32 {

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (const HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return module;
    }
    // Windows 7 without its loader update refuses the flag; there the full
    // path into the system folder does the same.
    if (::GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return ::LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

bool EnsureComOnThisThread(decltype(&::CoInitializeEx) coInitialize) {
    thread_local bool initialised = false;
    if (initialised) return true;
    const HRESULT result = coInitialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    initialised = SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
    return initialised;
}

}  // namespace velmora::platform::win32
