// The least a program can do to list the Uninstall entries, shared by the
// start-up bench's two floor programs: exactly the registry calls a scan
// makes (RegCreateKeyExA per root, then per subkey RegEnumKeyA and an open,
// query and close for each of its two values) and one LB_ADDSTRING per
// listed entry, with the list's redraw off while it fills.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace velmora::bench {

inline constexpr char kUninstallPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr REGSAM kFullAccess = 0x4001F;
inline constexpr DWORD kNameSize = 256;
// As many subkeys as the program's table can take.
inline constexpr int kHighestIndex = 32766;

// The value as text, or an empty text when it cannot be read.
inline void ReadValue(HKEY uninstall, const char* subKey, const char* name,
                      char (&text)[kNameSize + 1]) {
    text[0] = '\0';
    HKEY entry = nullptr;
    if (RegOpenKeyExA(uninstall, subKey, 0, KEY_QUERY_VALUE, &entry) != ERROR_SUCCESS) return;
    DWORD size = kNameSize;
    if (RegQueryValueExA(entry, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) !=
        ERROR_SUCCESS) {
        text[0] = '\0';
    }
    text[kNameSize] = '\0';
    RegCloseKey(entry);
}

inline void FillList(HWND list) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SECURITY_ATTRIBUTES security{};
    char keyClass[] = "0";
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY uninstall = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExA(root, kUninstallPath, 0, keyClass, 0, kFullAccess, &security,
                            &uninstall, &disposition) != ERROR_SUCCESS) {
            continue;
        }
        for (int index = 0; index <= kHighestIndex; ++index) {
            char subKey[kNameSize];
            const LONG status =
                RegEnumKeyA(uninstall, static_cast<DWORD>(index), subKey, kNameSize);
            if (status == ERROR_NO_MORE_ITEMS) break;
            if (status != ERROR_SUCCESS) continue;
            char name[kNameSize + 1];
            char command[kNameSize + 1];
            ReadValue(uninstall, subKey, "DisplayName", name);
            ReadValue(uninstall, subKey, "UninstallString", command);
            if (name[0] != '\0' && command[0] != '\0') {
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            }
        }
        RegCloseKey(uninstall);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

}  // namespace velmora::bench
