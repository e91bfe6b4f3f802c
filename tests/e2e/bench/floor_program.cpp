// velmora_floor.exe: the least a program can do to show the Uninstall
// entries.  One window, one sorted list box, filled by the bare calls of
// bare_fill.h.  The start-up bench times it beside velmora.exe; a
// WM_COMMAND with kRefillCommand (and no control) fills the list again, which
// the bench times as the bare calls of a rescan.
#include <windows.h>

#include "bare_fill.h"

namespace {

constexpr wchar_t kClassName[] = L"VelmoraFloorWindow";
constexpr WPARAM kRefillCommand = 1002;

HWND list = nullptr;

void Fill() { velmora::bench::FillList(list); }

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
