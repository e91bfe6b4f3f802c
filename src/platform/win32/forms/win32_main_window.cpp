#include "platform/win32/forms/win32_main_window.h"

#include <exception>

#include "mainwindow/zentrel_form.h"
#include "platform/win32/common/win32_error.h"
#include "platform/win32/forms/main_window_layout.h"
#include "platform/win32/ui/unexpected_error.h"

namespace velmora::platform::win32 {

using namespace main_window;

namespace {

// Posted by the wait on the change signal's event.
constexpr UINT kUninstallKeysChanged = WM_APP + 1;

}  // namespace

Win32MainWindow::Win32MainWindow(HINSTANCE instance, const wchar_t* iconResource)
    : Win32Form(instance, iconResource, kLayout) {
    Create(nullptr);
    uninstallList_.emplace(Control(kUninstallListId));
    uninstallStringText_.emplace(Control(kUninstallStringTextId));
    messages_.emplace(Handle());
    uninstallKeysChanged_.emplace(Handle(), kUninstallKeysChanged);
}

Win32MainWindow::~Win32MainWindow() {
    form_ = nullptr;
    // Destroyed while this object can still take WM_DESTROY.
    // A destructor cannot report a failure; the base tries once more.
    if (Handle() != nullptr) static_cast<void>(::DestroyWindow(Handle()));
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
    Show(showCommand);
}

LRESULT Win32MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case kUninstallKeysChanged:
            // Like a repaint, it runs while a modal window is open too.
            if (uninstallKeysChanged_->Take(wParam) && form_ != nullptr) {
                form_->UninstallKeys_Change();
            }
            return 0;
        case WM_COMMAND:
            // Only notifications from the controls; while a modal window
            // has this one disabled, none of them runs a handler.
            if (lParam != 0 && ::IsWindowEnabled(Handle())) {
                OnCommand(LOWORD(wParam), HIWORD(wParam));
            }
            return 0;
        case WM_CLOSE:
            Destroy();
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return DefaultProcessing(message, wParam, lParam);
    }
}

void Win32MainWindow::OnPaint() {
    // The update region is validated before the handler runs: the rescan can
    // open a message box, whose message loop would otherwise see the same
    // region still invalid and repaint again and again.
    PAINTSTRUCT paint;
    VELMORA_WIN32_CHECK(::BeginPaint(Handle(), &paint));
    ::EndPaint(Handle(), &paint);  // always succeeds
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

}  // namespace velmora::platform::win32
