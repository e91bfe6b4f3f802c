#include "user_input.h"

#include <vector>

#include "checks.h"
#include "wait.h"
#include "window_queries.h"

namespace velmora::e2e {
namespace {

INPUT Key(WORD key, bool up) {
    INPUT input{INPUT_KEYBOARD, {}};
    input.ki = {key, 0, up ? KEYEVENTF_KEYUP : 0u, 0, 0};
    return input;
}

INPUT Mouse(DWORD flags, LONG x, LONG y) {
    INPUT input{INPUT_MOUSE, {}};
    input.mi = {x, y, 0, flags | MOUSEEVENTF_ABSOLUTE, 0, 0};
    return input;
}

// A process in the background may not take the foreground (Windows' lock
// on it); one that shares the input state of the foreground window's thread
// may.
bool BringToFront(HWND window) {
    return WaitUntil([&] {
        const HWND front = GetForegroundWindow();
        if (front == window) return true;
        const DWORD self = GetCurrentThreadId();
        const DWORD owner = front ? GetWindowThreadProcessId(front, nullptr) : 0;
        const bool attached = owner != 0 && owner != self && AttachThreadInput(self, owner, TRUE);
        SetForegroundWindow(window);
        if (attached) AttachThreadInput(self, owner, FALSE);
        return GetForegroundWindow() == window;
    });
}

}  // namespace

bool PressKeys(HWND window, std::initializer_list<WORD> keys) {
    if (!BringToFront(window)) {
        throw ScenarioSkipped(
            "real keys go to the foreground window, and the system keeps the "
            "program's from the foreground");
    }
    std::vector<INPUT> inputs;
    for (const WORD key : keys) inputs.push_back(Key(key, false));
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        inputs.push_back(Key(*key, true));
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

bool ClickScreenAt(POINT point) {
    // Absolute mouse coordinates run from 0 to 65535 across the primary screen.
    const LONG x = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    const LONG y = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    INPUT inputs[] = {Mouse(MOUSEEVENTF_MOVE, x, y), Mouse(MOUSEEVENTF_LEFTDOWN, x, y),
                      Mouse(MOUSEEVENTF_LEFTUP, x, y)};
    return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

POINT CentreOf(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void PostClickOnLine(HWND list, int index, bool doubleClick) {
    const POINT centre = CentreOf(ListView(list).ItemRect(index));
    const LPARAM at = MAKELPARAM(centre.x, centre.y);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    if (!doubleClick) return;
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
}

void PostButtonClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void ForceRepaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

}  // namespace velmora::e2e
