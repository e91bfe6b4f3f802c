#include "platform/win32/ui/form_window.h"

#include "platform/win32/common/win32_error.h"
#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/program_icon.h"
#include "platform/win32/ui/win32_geometry.h"

namespace velmora::platform::win32 {
Win32Form::Win32Form(HINSTANCE instance, const wchar_t* iconResource, const FormLayout& layout)
    : instance_(instance), iconResource_(iconResource), layout_(layout) {}

Win32Form::~Win32Form() { ReleaseOwner(); }

float Win32Form::WidthTwips() const { return OuterWidthTwips(Handle()); }

float Win32Form::HeightTwips() const { return OuterHeightTwips(Handle()); }

void Win32Form::MoveTwips(float left, float top) { MoveOuterTwips(Handle(), left, top); }

unsigned Win32Form::Dpi() const { return WindowDpi(Handle()); }

bool Win32Form::PreTranslate(MSG& msg) {
    if (Handle() == nullptr) return false;
    focus_.Note(Handle());
    return TranslateDialogKeys(Handle(), msg);
}

void Win32Form::Create(HWND owner) {
    if (!picture_) picture_ = LoadPictureIcon(instance_, iconResource_);
    const HICON classIcon = layout_.classIcon ? LoadClassIcon(instance_, iconResource_) : nullptr;
    CreateHandle(instance_, WindowClassInfo{layout_.className, classIcon, nullptr},
                 FrameInfo{layout_.caption, layout_.style, layout_.exStyle, owner});
    controls_.Create(Handle(), instance_, layout_.controls);
    if (layout_.bottomId != 0) {
        VELMORA_WIN32_CHECK(::SetWindowPos(Control(layout_.bottomId), HWND_BOTTOM, 0, 0, 0, 0,
                                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    }
    ShowIcon(Control(layout_.pictureId), picture_.get());
    ApplyDpi(WindowDpi(Handle()));
}

void Win32Form::Show(int showCommand) {
    // ShowWindow and SetFocus report the previous state, not a failure.
    ::ShowWindow(Handle(), showCommand);
    ::SetFocus(Control(layout_.firstFocusId));
}

void Win32Form::ShowModalOver(HWND owner, const std::function<void()>& load) {
    {
        // Destroys the window and gives the owner back its input, whatever
        // way the display is left.
        struct ModalEnd {
            Win32Form& form;
            ~ModalEnd() {
                try {
                    form.EndModal();
                } catch (...) {
                    // DestroyWindow failed: nothing more can be done here.
                }
            }
        } end{*this};
        Create(owner);
        load();
        if (owner != nullptr && ::IsWindowEnabled(owner)) {
            ::EnableWindow(owner, FALSE);
            disabledOwner_ = owner;
        }
        Show(SW_SHOW);
        RunModalLoop();
    }
    if (owner != nullptr && ::IsWindow(owner)) ::SetActiveWindow(owner);
}

void Win32Form::EndModal() {
    ReleaseOwner();
    DestroyHandle();
}

LRESULT Win32Form::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(Handle(), message, wParam, lParam);
}

LRESULT Win32Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            // Noted, and still left to the window and the default processing.
            if (LOWORD(wParam) == WA_INACTIVE) focus_.Note(Handle());
            break;
        case WM_SETFOCUS:
            // The default would give the focus to the frame itself.
            focus_.Restore(Handle(), Control(layout_.firstFocusId));
            return 0;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            ApplyDpi(HIWORD(wParam));
            VELMORA_WIN32_CHECK(::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                                               0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
            return 0;
        }
        default:
            break;
    }
    return OnMessage(message, wParam, lParam);
}

void Win32Form::OnDestroyed() noexcept {
    controls_.Clear();
    focus_.Forget();
}

void Win32Form::ApplyDpi(UINT dpi) {
    controls_.Layout(dpi);
    SizeClientInTwips(Handle(), layout_.clientWidth, layout_.clientHeight, layout_.style,
                      layout_.exStyle, dpi);
}

void Win32Form::RunModalLoop() {
    MSG msg;
    while (Handle() != nullptr) {
        const BOOL got = VELMORA_WIN32_CHECK_THAT(::GetMessageW(&msg, nullptr, 0, 0),
                                                  [](BOOL result) { return result != -1; });
        if (got == 0) {
            // The program is ending: leave the quit for the outer loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void Win32Form::ReleaseOwner() {
    if (disabledOwner_ != nullptr) {
        // Returns the previous state, not a failure.
        ::EnableWindow(std::exchange(disabledOwner_, nullptr), TRUE);
    }
}

}  // namespace velmora::platform::win32
