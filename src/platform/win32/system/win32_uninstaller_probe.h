// The stale-uninstaller check's questions, answered by kernel32 and, for
// Windows Installer products, by msi.dll, loaded from the system folder on
// the first question about a product.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/uninstaller_probe.h"
#include "platform/win32/common/module_function.h"
#include "platform/win32/common/system_library.h"

namespace velmora::platform::win32 {

// For the one thread that checks; it sets nothing for that thread itself.
class Win32UninstallerProbe : public UninstallerProbe {
  public:
    unsigned GetDriveTypeW(wchar_t letter) const override;
    FileAttributes GetFileAttributesW(const std::wstring& path) const override;
    std::optional<int> MsiQueryProductStateW(const std::wstring& productCode) const override;
    std::optional<std::wstring> ExpandEnvironmentStringsW(const std::wstring& text) const override;

  private:
    using QueryProductState = INT(WINAPI*)(LPCWSTR);
    // Not linked: most lines name no product, and the program should not map
    // the Installer's library before its window shows.
    mutable OnDemandFunction<QueryProductState> queryProductState_{LoadSystemLibrary, L"msi.dll",
                                                                   "MsiQueryProductStateW"};
};

}  // namespace velmora::platform::win32
