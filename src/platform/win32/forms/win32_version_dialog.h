// The version dialog on user32 (see version_dialog_layout.h for class
// names, ids and styles).  One object serves every opening; each opening
// creates the window anew, runs Form_Load (centring) before showing it, and
// keeps the main window disabled while a nested message loop runs until
// the dialog is unloaded by OK or its close box.  The main window still
// repaints meanwhile, as its messages are dispatched by that loop.
#pragma once

#include <windows.h>

#include "platform/application.h"
#include "platform/geometry.h"
#include "platform/win32/ui/dialog_keys.h"
#include "platform/win32/ui/form_controls.h"
#include "platform/win32/ui/message_window.h"
#include "platform/win32/ui/unique_gdi_handles.h"
#include "windowing/version_form.h"

namespace velmora::platform::win32 {

class Win32VersionDialog : public ModalForm,
                           public Unloadable,
                           public FormWindow,
                           private MessageWindow {
  public:
    // Nothing is created until the first opening.  owner is the window that
    // is disabled while the dialog is open, and that owns it.
    Win32VersionDialog(HINSTANCE instance, const wchar_t* iconResource, const Screen& screen,
                       HWND owner);
    ~Win32VersionDialog();

    using MessageWindow::Handle;

    void ShowModal() override;
    void Unload() override;

    float WidthTwips() const override;
    float HeightTwips() const override;
    void MoveTwips(float left, float top) override;
    unsigned Dpi() const override;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() noexcept override;
    void Create();
    void ApplyDpi(UINT dpi);
    void RunModalLoop();
    void ReleaseOwner();

    HINSTANCE instance_;
    const wchar_t* iconResource_;
    HWND owner_;
    bool ownerDisabled_ = false;
    windowing::VersionForm form_;
    FormControls controls_;
    UniqueHicon picture_;
    FocusMemory focus_;
};

}  // namespace velmora::platform::win32
