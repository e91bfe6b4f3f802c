#include "user_input.h"

#include <vector>

#include "wait.h"
#include "window_queries.h"

namespace velmora::e2e {
namespace {

INPUT Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT Mouse(DWORD flags, LONG x, LONG y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.dwFlags = flags;
    return input;
}

LPARAM PointParam(POINT point) { return MAKELPARAM(point.x, point.y); }

POINT LineCentre(HWND list, int index) { return CentreOf(ListView(list).ItemRect(index)); }

}  // namespace

bool BringToFront(HWND window) {
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() == window) return true;
            SetForegroundWindow(window);
            return GetForegroundWindow() == window;
        },
        2s);
}

bool PressKeys(HWND window, std::initializer_list<WORD> keys) {
    if (!BringToFront(window)) return false;
    std::vector<INPUT> inputs;
    for (const WORD key : keys) inputs.push_back(Key(key, false));
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        inputs.push_back(Key(*key, true));
    }
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return sent == inputs.size();
}

bool ClickScreenAt(POINT point) {
    // Absolute mouse coordinates run from 0 to 65535 across the primary screen.
    const LONG x = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    const LONG y = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    INPUT inputs[] = {
        Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y),
        Mouse(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE, x, y),
        Mouse(MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE, x, y),
    };
    return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

POINT CentreOf(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void PostClickOnLine(HWND list, int index) {
    const LPARAM at = PointParam(LineCentre(list, index));
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
}

void PostDoubleClickOnLine(HWND list, int index) {
    const LPARAM at = PointParam(LineCentre(list, index));
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
}

void PostButtonClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void ForceRepaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

}  // namespace velmora::e2e
