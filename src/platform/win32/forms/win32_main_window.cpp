#include "platform/win32/forms/win32_main_window.h"

#include <exception>
#include <utility>

#include "mainwindow/zentrel_form.h"
#include "platform/win32/common/win32_error.h"
#include "platform/win32/forms/main_window_layout.h"
#include "platform/win32/ui/unexpected_error.h"

namespace velmora::platform::win32 {

using namespace main_window;

namespace {

// Posted by the wait on the change signal's event.
constexpr UINT kUninstallKeysChanged = WM_APP + 1;
// Posted by the thread that checks the uninstallers.
constexpr UINT kVerdictsReady = WM_APP + 2;
// Hands a check's entries to that thread once the window is idle.
constexpr UINT_PTR kChecksTimer = 1;

}  // namespace

Win32MainWindow::Win32MainWindow(HINSTANCE instance, const wchar_t* iconResource,
                                 std::shared_ptr<const UninstallerProbe> probe)
    : Win32Form(instance, iconResource, kLayout) {
    Create(nullptr);
    uninstallList_.emplace(Control(kUninstallListId));
    uninstallStringText_.emplace(Control(kUninstallStringTextId));
    messages_.emplace(Handle());
    uninstallKeysChanged_.emplace(Handle(), kUninstallKeysChanged);
    uninstallerChecks_.emplace(Handle(), kVerdictsReady, kChecksTimer, std::move(probe));
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
        case kVerdictsReady: {
            // Only lines of the list are redrawn; the window itself is not,
            // so that no armed rescan is spent.
            const Win32UninstallerChecks::Verdicts ready = uninstallerChecks_->Take();
            if (form_ != nullptr) {
                form_->UninstallerChecks_Done(ready.generation, ready.verdicts, ready.complete);
            }
            return 0;
        }
        case WM_TIMER:
            if (wParam != kChecksTimer) return DefaultProcessing(message, wParam, lParam);
            uninstallerChecks_->Release();
            return 0;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlID != static_cast<UINT>(kUninstallListId) || !uninstallList_) {
                return DefaultProcessing(message, wParam, lParam);
            }
            uninstallList_->DrawLine(item);
            return TRUE;
        }
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
