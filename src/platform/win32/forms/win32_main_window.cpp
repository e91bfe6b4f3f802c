#include "platform/win32/forms/win32_main_window.h"

#include <exception>

#include "mainwindow/zentrel_form.h"
#include "platform/win32/common/win32_error.h"
#include "platform/win32/forms/main_window_layout.h"
#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/form_window_messages.h"
#include "platform/win32/ui/program_icon.h"
#include "platform/win32/ui/unexpected_error.h"
#include "platform/win32/ui/win32_geometry.h"

namespace velmora::platform::win32 {

using namespace main_window;

Win32MainWindow::Win32MainWindow(HINSTANCE instance, const wchar_t* iconResource)
    : picture_(LoadPictureIcon(instance, iconResource)) {
    CreateHandle(instance,
                 WindowClassInfo{kClassName, LoadClassIcon(instance, iconResource), nullptr},
                 FrameInfo{kCaption, kStyle, kExStyle, nullptr});
    controls_.Create(Handle(), instance, kControls);
    ShowIcon(controls_.Get(kImageId), picture_.get());
    ApplyDpi(WindowDpi(Handle()));
    uninstallList_.emplace(controls_.Get(kUninstallListId));
    uninstallStringText_.emplace(controls_.Get(kUninstallStringTextId));
    messages_.emplace(Handle());
}

Win32MainWindow::~Win32MainWindow() {
    form_ = nullptr;
    if (Handle() != nullptr) ::DestroyWindow(Handle());
}

void Win32MainWindow::Load(int showCommand) {
    if (form_ != nullptr) {
        try {
            form_->Form_Load();
        } catch (const std::exception& error) {
            ReportUnexpectedError(Handle(), error.what());
        }
    }
    // A handler cannot end the program from Form_Load, but the window may
    // still have gone (destroyed from outside while a message was open).
    if (Handle() == nullptr) return;
    ::ShowWindow(Handle(), showCommand);
    ::SetFocus(controls_.Get(kUninstallListId));
}

void Win32MainWindow::Close() { DestroyHandle(); }

bool Win32MainWindow::PreTranslate(MSG& msg) {
    if (Handle() == nullptr) return false;
    focus_.Note(Handle());
    return TranslateDialogKeys(Handle(), msg);
}

float Win32MainWindow::WidthTwips() const { return OuterWidthTwips(Handle()); }

float Win32MainWindow::HeightTwips() const { return OuterHeightTwips(Handle()); }

void Win32MainWindow::MoveTwips(float left, float top) { MoveOuterTwips(Handle(), left, top); }

unsigned Win32MainWindow::Dpi() const { return WindowDpi(Handle()); }

LRESULT Win32MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto handled = HandleFocusAndDpi(Handle(), message, wParam, lParam, focus_,
                                               controls_.Get(kUninstallListId),
                                               [this](UINT dpi) { ApplyDpi(dpi); })) {
        return *handled;
    }
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_COMMAND:
            // Only notifications from the controls; while a modal window
            // has this one disabled, none of them runs a handler.
            if (lParam != 0 && ::IsWindowEnabled(Handle())) {
                OnCommand(LOWORD(wParam), HIWORD(wParam));
            }
            return 0;
        case WM_CLOSE:
            DestroyHandle();
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(Handle(), message, wParam, lParam);
}

void Win32MainWindow::OnPaint() {
    // The update region is validated before the handler runs: the rescan can
    // open a message box, whose message loop would otherwise see the same
    // region still invalid and repaint again and again.
    PAINTSTRUCT paint;
    VELMORA_WIN32_CHECK(::BeginPaint(Handle(), &paint));
    ::EndPaint(Handle(), &paint);
    if (form_ != nullptr) form_->Form_Paint();
}

void Win32MainWindow::OnCommand(int id, int code) {
    if (form_ == nullptr) return;
    if (id == kUninstallListId) {
        if (code == LBN_SELCHANGE) form_->UninstallList_Click();
        if (code == LBN_DBLCLK) form_->UninstallList_DblClick();
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case kUpdateCommandId:
            form_->UpdateCommand_Click();
            break;
        case kListDelCommandId:
            form_->ListDelCommand_Click();
            break;
        case kAddAndDelCommandId:
            form_->AddAndDelCommand_Click();
            break;
        case kVersionCommandId:
            form_->VersionCommand_Click();
            break;
        case kEndCommandId:
            form_->EndCommand_Click();
            break;
        default:
            break;
    }
}

void Win32MainWindow::ApplyDpi(UINT dpi) {
    controls_.Layout(dpi);
    SizeClientInTwips(Handle(), kClientWidth, kClientHeight, kStyle, kExStyle, dpi);
}

}  // namespace velmora::platform::win32
