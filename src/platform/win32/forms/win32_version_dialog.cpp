#include "platform/win32/forms/win32_version_dialog.h"

#include "platform/win32/common/win32_error.h"
#include "platform/win32/forms/version_dialog_layout.h"
#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/form_window_messages.h"
#include "platform/win32/ui/program_icon.h"
#include "platform/win32/ui/win32_geometry.h"

namespace velmora::platform::win32 {

using namespace version_dialog;

namespace {

// Destroys the dialog's window and gives the owner back its input, whatever
// way ShowModal is left.
class OpenDialogGuard {
  public:
    explicit OpenDialogGuard(Unloadable& dialog) : dialog_(dialog) {}
    OpenDialogGuard(const OpenDialogGuard&) = delete;
    OpenDialogGuard& operator=(const OpenDialogGuard&) = delete;
    ~OpenDialogGuard() {
        try {
            dialog_.Unload();
        } catch (...) {
            // DestroyWindow failed: nothing more can be done here.
        }
    }

  private:
    Unloadable& dialog_;
};

}  // namespace

Win32VersionDialog::Win32VersionDialog(HINSTANCE instance, const wchar_t* iconResource,
                                       const Screen& screen, HWND owner)
    : instance_(instance),
      iconResource_(iconResource),
      owner_(owner),
      form_(screen, *this, *this) {}

Win32VersionDialog::~Win32VersionDialog() {
    ReleaseOwner();
    if (Handle() != nullptr) ::DestroyWindow(Handle());
}

void Win32VersionDialog::ShowModal() {
    // An opening while open cannot come from the disabled main window.
    if (Handle() != nullptr) return;
    {
        OpenDialogGuard guard(*this);
        Create();
        form_.Form_Load();
        if (owner_ != nullptr && ::IsWindowEnabled(owner_)) {
            ::EnableWindow(owner_, FALSE);
            ownerDisabled_ = true;
        }
        ::ShowWindow(Handle(), SW_SHOW);
        ::SetFocus(controls_.Get(kOkCommandId));
        RunModalLoop();
    }
    if (owner_ != nullptr && ::IsWindow(owner_)) ::SetActiveWindow(owner_);
}

void Win32VersionDialog::Unload() {
    // The owner is enabled before the dialog goes, so that the system hands
    // the activation back to it rather than to another program's window.
    ReleaseOwner();
    DestroyHandle();
}

float Win32VersionDialog::WidthTwips() const { return OuterWidthTwips(Handle()); }

float Win32VersionDialog::HeightTwips() const { return OuterHeightTwips(Handle()); }

void Win32VersionDialog::MoveTwips(float left, float top) { MoveOuterTwips(Handle(), left, top); }

unsigned Win32VersionDialog::Dpi() const { return WindowDpi(Handle()); }

void Win32VersionDialog::Create() {
    if (!picture_) picture_ = LoadPictureIcon(instance_, iconResource_);
    CreateHandle(instance_, WindowClassInfo{kClassName, nullptr, nullptr},
                 FrameInfo{windowing::kVersionCaption, kStyle, kExStyle, owner_});
    controls_.Create(Handle(), instance_, kControls);
    // The group box goes under the labels it frames, so that it never paints
    // over them.
    ::SetWindowPos(controls_.Get(kFrameId), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowIcon(controls_.Get(kImageId), picture_.get());
    ApplyDpi(WindowDpi(Handle()));
}

void Win32VersionDialog::ApplyDpi(UINT dpi) {
    controls_.Layout(dpi);
    SizeClientInTwips(Handle(), kClientWidth, kClientHeight, kStyle, kExStyle, dpi);
}

void Win32VersionDialog::RunModalLoop() {
    MSG msg;
    while (Handle() != nullptr) {
        const BOOL got = VELMORA_WIN32_CHECK_THAT(::GetMessageW(&msg, nullptr, 0, 0),
                                                  [](BOOL result) { return result != -1; });
        if (got == 0) {
            // The program is ending: leave the quit for the outer loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        focus_.Note(Handle());
        if (!TranslateDialogKeys(Handle(), msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void Win32VersionDialog::ReleaseOwner() {
    if (ownerDisabled_) {
        ownerDisabled_ = false;
        ::EnableWindow(owner_, TRUE);
    }
}

LRESULT Win32VersionDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto handled =
            HandleFocusAndDpi(Handle(), message, wParam, lParam, focus_,
                              controls_.Get(kOkCommandId), [this](UINT dpi) { ApplyDpi(dpi); })) {
        return *handled;
    }
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
            break;
    }
    return ::DefWindowProcW(Handle(), message, wParam, lParam);
}

void Win32VersionDialog::OnDestroyed() noexcept {
    controls_.Clear();
    focus_.Forget();
}

}  // namespace velmora::platform::win32
