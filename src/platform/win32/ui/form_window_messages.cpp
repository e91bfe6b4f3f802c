#include "platform/win32/ui/form_window_messages.h"

namespace velmora::platform::win32 {

std::optional<LRESULT> HandleFocusAndDpi(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         FocusMemory& focus, HWND firstFocus,
                                         const std::function<void(UINT dpi)>& applyDpi) {
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) focus.Note(window);
            return std::nullopt;
        case WM_SETFOCUS:
            focus.Restore(window, firstFocus);
            return 0;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            applyDpi(HIWORD(wParam));
            ::SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace velmora::platform::win32
