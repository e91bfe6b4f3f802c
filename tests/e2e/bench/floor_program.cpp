// velmora_floor.exe: the least a program can do to show the Uninstall
// entries.  One window, one sorted list box, and exactly the registry calls a
// scan makes: RegCreateKeyExA per root, then per subkey RegEnumKeyA and an
// open, query and close for each of its two values.  The list's redraw is off
// while it fills.  The start-up bench times it beside velmora.exe; a
// WM_COMMAND with kRefillCommand (and no control) fills the list again, which
// the bench times as the bare calls of a rescan.
#include <windows.h>

#include <initializer_list>

namespace {

constexpr wchar_t kClassName[] = L"VelmoraFloorWindow";
constexpr char kUninstallPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr REGSAM kFullAccess = 0x4001F;
constexpr WPARAM kRefillCommand = 1002;
constexpr DWORD kNameSize = 256;
constexpr int kHighestIndex = 256;

HWND list = nullptr;

// The value as text, or an empty text when it cannot be read.
void ReadValue(HKEY uninstall, const char* subKey, const char* name, char (&text)[kNameSize + 1]) {
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

void Fill() {
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

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (wParam == kRefillCommand && lParam == 0) Fill();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassW(&windowClass) == 0) return 1;
    HWND window = CreateWindowExW(
        0, kClassName, L"Velmora floor", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
        CW_USEDEFAULT, CW_USEDEFAULT, 583, 300, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    list = CreateWindowExW(
        0, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_SORT | LBS_NOINTEGRALHEIGHT, 8, 8, 429,
        196, window, nullptr, instance, nullptr);
    if (list == nullptr) return 1;
    Fill();
    ShowWindow(window, showCommand);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
