#include "platform/win32/forms/win32_version_dialog.h"

#include "platform/win32/forms/version_dialog_layout.h"

namespace velmora::platform::win32 {

using namespace version_dialog;

Win32VersionDialog::Win32VersionDialog(HINSTANCE instance, const wchar_t* iconResource,
                                       const Screen& screen, HWND owner)
    : Win32Form(instance, iconResource, kLayout), owner_(owner), form_(screen, *this, *this) {}

Win32VersionDialog::~Win32VersionDialog() {
    // Destroyed while this object can still take the window's last messages.
    try {
        EndModal();
    } catch (...) {
        // DestroyWindow failed: the base destroys the window without them.
    }
}

void Win32VersionDialog::ShowModal() {
    // An opening while open cannot come from the disabled main window.
    if (Handle() != nullptr) return;
    ShowModalOver(owner_, [this] { form_.Form_Load(); });
}

LRESULT Win32VersionDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kOkCommandId && HIWORD(wParam) == BN_CLICKED && lParam != 0) {
                form_.OkCommand_Click();
            }
            return 0;
        case WM_CLOSE:
            Unload();
            return 0;
        default:
            return DefaultProcessing(message, wParam, lParam);
    }
}

}  // namespace velmora::platform::win32
