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
#include "platform/win32/ui/form_window.h"
#include "windowing/version_form.h"

namespace velmora::platform::win32 {

class Win32VersionDialog : public ModalForm, public Unloadable, public Win32Form {
  public:
    // Nothing is created until the first opening.  owner is the window that
    // is disabled while the dialog is open, and that owns it.
    Win32VersionDialog(HINSTANCE instance, const wchar_t* iconResource, const Screen& screen,
                       HWND owner);
    ~Win32VersionDialog();

    void ShowModal() override;
    void Unload() override { EndModal(); }

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND owner_;
    windowing::VersionForm form_;
};

}  // namespace velmora::platform::win32
