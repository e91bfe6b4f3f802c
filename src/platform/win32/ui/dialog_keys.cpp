#include "platform/win32/ui/dialog_keys.h"

namespace velmora::platform::win32 {
namespace {

bool IsPushButton(HWND control) {
    const LRESULT code = ::SendMessageW(control, WM_GETDLGCODE, 0, 0);
    return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

void PressFocusedButton(HWND window) {
    const HWND focus = ::GetFocus();
    if (focus == nullptr || !::IsChild(window, focus)) return;
    if (!IsPushButton(focus) || !::IsWindowEnabled(focus)) return;
    // What the dialog manager sends for a default button.
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(focus), BN_CLICKED),
                   reinterpret_cast<LPARAM>(focus));
}

}  // namespace

bool TranslateDialogKeys(HWND window, MSG& msg) {
    if (window == nullptr) return false;
    if (msg.hwnd != window && !::IsChild(window, msg.hwnd)) return false;
    if (msg.message == WM_KEYDOWN) {
        if (msg.wParam == VK_ESCAPE) return true;
        if (msg.wParam == VK_RETURN) {
            PressFocusedButton(window);
            return true;
        }
    }
    return ::IsDialogMessageW(window, &msg) != FALSE;
}

void FocusMemory::Note(HWND window) {
    const HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(window, focus)) focused_ = focus;
}

void FocusMemory::Restore(HWND window, HWND fallback) {
    const HWND target = focused_ != nullptr && ::IsChild(window, focused_) ? focused_ : fallback;
    if (target != nullptr) ::SetFocus(target);
}

}  // namespace velmora::platform::win32
