#include "platform/win32/system/win32_uninstaller_probe.h"

#include "platform/win32/system/win32_process_starter.h"

namespace velmora::platform::win32 {

unsigned Win32UninstallerProbe::GetDriveTypeW(wchar_t letter) const {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    return ::GetDriveTypeW(root);
}

FileAttributes Win32UninstallerProbe::GetFileAttributesW(const std::wstring& path) const {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return {attributes, attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : 0};
}

std::optional<int> Win32UninstallerProbe::MsiQueryProductStateW(
    const std::wstring& productCode) const {
    const QueryProductState query = queryProductState_.Get();
    if (query == nullptr) return std::nullopt;
    return query(productCode.c_str());
}

std::optional<std::wstring> Win32UninstallerProbe::ExpandEnvironmentStringsW(
    const std::wstring& text) const {
    return ExpandEnvironmentReferences(text);
}

}  // namespace velmora::platform::win32
